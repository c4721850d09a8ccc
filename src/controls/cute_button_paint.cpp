#include <QPaintEvent>
#include <QPainter>

#include "controls/cute_button.h"
#include "controls/frame_3d.h"

namespace qpane {

namespace {

int textFlags(TCuteButton::Alignment alignment, TCuteButton::TextLayout layout) {
    // Absolute alignment: a right-to-left layout direction must not swap left and right.
    int flags = Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::AlignAbsolute;
    switch (alignment) {
        case TCuteButton::Alignment::Left: flags |= Qt::AlignLeft; break;
        case TCuteButton::Alignment::Right: flags |= Qt::AlignRight; break;
        case TCuteButton::Alignment::Center: flags |= Qt::AlignHCenter; break;
    }
    switch (layout) {
        case TCuteButton::TextLayout::Top: flags |= Qt::AlignTop; break;
        case TCuteButton::TextLayout::Center: flags |= Qt::AlignVCenter; break;
        case TCuteButton::TextLayout::Bottom: flags |= Qt::AlignBottom; break;
    }
    return flags;
}

}  // namespace

void TCuteButton::paintEvent(QPaintEvent*) {
    QPainter canvas(this);
    Paint(canvas);
}

QRect TCuteButton::paintBevel(QPainter& canvas, QRect rect, Bevel bevel) const {
    switch (bevel) {
        case Bevel::None: return rect;
        case Bevel::Raised:
            return drawFrame3D(canvas, rect, bevelHighlightColor(), bevelShadowColor(),
                               bevelWidth_);
        case Bevel::Lowered:
            return drawFrame3D(canvas, rect, bevelShadowColor(), bevelHighlightColor(),
                               bevelWidth_);
    }
    return rect;
}

void TCuteButton::Paint(QPainter& canvas) {
    QRect r = rect();
    canvas.setFont(font());
    canvas.fillRect(r, useDisabledColor_ && !isEnabled() ? disabledColor_ : color());
    r = paintBevel(canvas, r, bevelOuter_);
    paintBevel(canvas, r, bevelInner_);

    // The text rectangle ignores which bevels are showing, so the caption stays put when the
    // state display changes (apart from the pressed shift below).
    const int inset = flat_ ? bevelWidth_ : 2 * bevelWidth_;
    QRect text = rect().adjusted(inset, inset, -inset, -inset);
    if (marginX_ != kNoMargin) {
        if (alignment_ == Alignment::Left) text.setLeft(text.left() + marginX_);
        if (alignment_ == Alignment::Right) text.setRight(text.right() - marginX_);
    }
    if (marginY_ != kNoMargin) {
        if (layout_ == TextLayout::Top) text.setTop(text.top() + marginY_);
        if (layout_ == TextLayout::Bottom) text.setBottom(text.bottom() - marginY_);
    }
    if (bevelOuter_ == Bevel::Lowered) {
        text.setLeft(text.left() + 2);
        text.setTop(text.top() + 2);
    }
    // Margins larger than the button leave no room: the caption is clipped away entirely.
    if (text.isEmpty()) return;

    const int flags = textFlags(alignment_, layout_);
    if (isEnabled()) {
        canvas.setPen(fontColor());
        canvas.drawText(text, flags, caption_);
    } else {
        // Embossed: a light copy one pixel down and right under a dark copy in place.
        canvas.setPen(palette().color(QPalette::Active, QPalette::Light));
        canvas.drawText(text.translated(1, 1), flags, caption_);
        canvas.setPen(palette().color(QPalette::Active, QPalette::Dark));
        canvas.drawText(text, flags, caption_);
    }

    if (showFocusRect_ && hasFocus()) {
        drawFocusRect(canvas, text.adjusted(2, 2, -2, -2), fontColor());
    }
}

}  // namespace qpane
