#include "controls/cute_button.h"

#include <QFontMetrics>
#include <QKeySequence>
#include <QShortcut>

#include <algorithm>

#include "controls/cute_button_timer.h"

namespace qpane {

TCuteButton::TCuteButton(QWidget* parent) : TCuteButton(QString(), parent) {}

TCuteButton::TCuteButton(const QString& caption, QWidget* parent)
    : QWidget(parent), caption_(caption) {
    resize(kDefaultWidth, kDefaultHeight);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    accelerator_ = new QShortcut(this);
    accelerator_->setContext(Qt::WindowShortcut);
    connect(accelerator_, &QShortcut::activated, this, [this] {
        if (isEnabled()) pressByKey();
    });
    updateAccelerator();
}

TCuteButton::~TCuteButton() = default;

void TCuteButton::setCaption(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    updateAccelerator();
    updateGeometry();
    update();
}

void TCuteButton::updateAccelerator() {
    // "&x" marks x as the accelerator, "&&" is a plain ampersand; Qt's mnemonic reads the same.
    accelerator_->setKey(QKeySequence::mnemonic(caption_));
}

QColor TCuteButton::color() const {
    return color_ ? *color_ : palette().color(QPalette::Active, QPalette::Button);
}

void TCuteButton::setColor(const QColor& color) {
    const std::optional<QColor> value = color.isValid() ? std::optional(color) : std::nullopt;
    if (value == color_) return;
    color_ = value;
    update();
}

QColor TCuteButton::fontColor() const {
    return fontColor_ ? *fontColor_ : palette().color(QPalette::Active, QPalette::ButtonText);
}

void TCuteButton::setFontColor(const QColor& color) {
    const std::optional<QColor> value = color.isValid() ? std::optional(color) : std::nullopt;
    if (value == fontColor_) return;
    fontColor_ = value;
    update();
}

void TCuteButton::setAlignment(Alignment alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    update();
}

void TCuteButton::setBevelOuter(Bevel bevel) {
    if (bevel == bevelOuter_) return;
    bevelOuter_ = bevel;
    update();
}

void TCuteButton::setBevelInner(Bevel bevel) {
    if (bevel == bevelInner_) return;
    bevelInner_ = bevel;
    update();
}

void TCuteButton::setBevelWidth(int width) {
    width = std::max(width, 1);
    if (width == bevelWidth_) return;
    bevelWidth_ = width;
    updateGeometry();
    update();
}

QColor TCuteButton::bevelHighlightColor() const {
    return bevelHighlightColor_ ? *bevelHighlightColor_
                                : palette().color(QPalette::Active, QPalette::Light);
}

void TCuteButton::setBevelHighlightColor(const QColor& color) {
    const std::optional<QColor> value = color.isValid() ? std::optional(color) : std::nullopt;
    if (value == bevelHighlightColor_) return;
    bevelHighlightColor_ = value;
    update();
}

QColor TCuteButton::bevelShadowColor() const {
    return bevelShadowColor_ ? *bevelShadowColor_
                             : palette().color(QPalette::Active, QPalette::Dark);
}

void TCuteButton::setBevelShadowColor(const QColor& color) {
    const std::optional<QColor> value = color.isValid() ? std::optional(color) : std::nullopt;
    if (value == bevelShadowColor_) return;
    bevelShadowColor_ = value;
    update();
}

void TCuteButton::repaintIfDisabled() {
    // The disabled colour only shows while the button is disabled.
    if (!isEnabled()) update();
}

void TCuteButton::setDisabledColor(const QColor& color) {
    if (color == disabledColor_) return;
    disabledColor_ = color;
    repaintIfDisabled();
}

void TCuteButton::setUseDisabledColor(bool use) {
    if (use == useDisabledColor_) return;
    useDisabledColor_ = use;
    repaintIfDisabled();
}

void TCuteButton::setDropDownMenu(QMenu* menu) {
    dropDownMenu_ = menu;
}

void TCuteButton::setDropDownDelay(int ms) {
    dropDownDelay_ = std::max(ms, 0);
}

void TCuteButton::setEgnoreContClick(bool ignore) {
    egnoreContClick_ = ignore;
}

void TCuteButton::setFlat(bool flat) {
    if (flat == flat_) return;
    flat_ = flat;
    // The inner bevel carries the difference; setBevelInner repaints.
    setBevelInner(flat ? Bevel::None : Bevel::Raised);
    updateGeometry();
}

void TCuteButton::setTabFocusUp(bool up) {
    tabFocusUp_ = up;
}

bool TCuteButton::tabStop() const {
    return focusPolicy() & Qt::TabFocus;
}

void TCuteButton::setTabStop(bool stop) {
    // Without a tab stop the button still takes the focus when it is clicked.
    setFocusPolicy(stop ? Qt::StrongFocus : Qt::ClickFocus);
}

void TCuteButton::setLayout(TextLayout layout) {
    if (layout == layout_) return;
    layout_ = layout;
    update();
}

void TCuteButton::setMarginX(int margin) {
    margin = std::max(margin, kNoMargin);
    if (margin == marginX_) return;
    marginX_ = margin;
    update();
}

void TCuteButton::setMarginY(int margin) {
    margin = std::max(margin, kNoMargin);
    if (margin == marginY_) return;
    marginY_ = margin;
    update();
}

void TCuteButton::setShowFocusRect(bool show) {
    if (show == showFocusRect_) return;
    showFocusRect_ = show;
    update();
}

QSize TCuteButton::sizeHint() const {
    // Room for the caption inside the bevels, never smaller than the button's default size.
    const int inset = flat_ ? bevelWidth_ : 2 * bevelWidth_;
    const QFontMetrics metrics(font());
    const QSize text =
        metrics.size(Qt::TextSingleLine | Qt::TextShowMnemonic, caption_) + QSize(8, 4);
    return QSize(std::max(kDefaultWidth, text.width() + 2 * inset),
                 std::max(kDefaultHeight, text.height() + 2 * inset));
}

}  // namespace qpane
