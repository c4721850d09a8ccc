#include "controls/demo/demo_window.h"

#include <QGridLayout>
#include <QMenu>
#include <QThread>

#include "controls/cute_button.h"

namespace qpane {

namespace {

const QColor kWindowBlack(0, 0, 0);
const QColor kModeOn(0, 0, 255);
const QColor kModeOff(128, 128, 128);

QLabel* whiteLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    return label;
}

}  // namespace

DemoWindow::DemoWindow(QWidget* parent) : QWidget(parent) {
    setWindowTitle("TCuteButton");
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kWindowBlack);
    setPalette(palette);
    setAutoFillBackground(true);

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(10);
    const QStringList rows = {"Looks", "Disabled", "Caption", "Window", "Options"};
    for (int row = 0; row < rows.size(); ++row)
        grid->addWidget(whiteLabel(rows[row], this), row, 0);

    // Looks: the outer bevel is the state display, set here by hand to show each state.
    addButton(0, 1, "Idle");
    addButton(0, 2, "Hover")->setBevelOuter(TCuteButton::Bevel::Raised);
    addButton(0, 3, "Pressed")->setBevelOuter(TCuteButton::Bevel::Lowered);
    focusSample_ = addButton(0, 4, "Focus");
    focusSample_->setShowFocusRect(true);
    addButton(0, 5, "Flat")->setFlat(true);
    TCuteButton* wide = addButton(0, 6, "Bevel 3");
    wide->setBevelWidth(3);
    wide->setBevelOuter(TCuteButton::Bevel::Raised);

    TCuteButton* disabled = addButton(1, 1, "Disabled");
    disabled->setEnabled(false);
    TCuteButton* disabledColor = addButton(1, 2, "Disabled");
    disabledColor->setUseDisabledColor(true);
    disabledColor->setDisabledColor(QColor(96, 64, 64));
    disabledColor->setEnabled(false);
    TCuteButton* disabledBlack = addButton(1, 3, "実行");
    disabledBlack->setColor(kWindowBlack);
    disabledBlack->setEnabled(false);

    // Caption placement in taller buttons, margins of 6 pixels.
    const auto placed = [&](int column, const QString& caption, TCuteButton::Alignment alignment,
                            TCuteButton::TextLayout layout) {
        TCuteButton* button = addButton(2, column, caption);
        button->setFixedSize(90, 44);
        button->setAlignment(alignment);
        button->setLayout(layout);
        button->setMarginX(6);
        button->setMarginY(6);
        return button;
    };
    placed(1, "Left top", TCuteButton::Alignment::Left, TCuteButton::TextLayout::Top);
    placed(2, "Centre", TCuteButton::Alignment::Center, TCuteButton::TextLayout::Center);
    placed(3, "Right bottom", TCuteButton::Alignment::Right, TCuteButton::TextLayout::Bottom);
    placed(4, "Left bottom", TCuteButton::Alignment::Left, TCuteButton::TextLayout::Bottom)
        ->setBevelOuter(TCuteButton::Bevel::Lowered);

    // The buttons of the main window, in its colours.
    TCuteButton* close = addButton(3, 1, "×");
    close->setColor(kWindowBlack);
    close->setFontColor(Qt::yellow);
    QFont bold = close->font();
    bold.setBold(true);
    bold.setPixelSize(18);
    close->setFont(bold);
    close->setFixedSize(27, 27);
    connect(close, &TCuteButton::clicked, this, &QWidget::close);
    addButton(3, 2, "実行");
    TCuteButton* direct = addButton(3, 3, "ダイレクト");
    TCuteButton* buffered = addButton(3, 4, "バッファー使用");
    for (TCuteButton* b : {direct, buffered})
        b->setFontColor(Qt::white);
    direct->setColor(kModeOn);
    buffered->setColor(kModeOff);
    connect(direct, &TCuteButton::clicked, this, [direct, buffered] {
        direct->setColor(kModeOn);
        buffered->setColor(kModeOff);
    });
    connect(buffered, &TCuteButton::clicked, this, [direct, buffered] {
        direct->setColor(kModeOff);
        buffered->setColor(kModeOn);
    });
    addButton(3, 5, "All Null");
    addButton(3, 6, "&Set");

    // Options: drop-down menus and the slow handler.
    auto* menu = new QMenu(this);
    for (const char* item : {"One", "Two", "Three"}) {
        connect(menu->addAction(item), &QAction::triggered, this,
                [this, item] { report(QString("menu: %1").arg(item)); });
    }
    TCuteButton* menuNow = addButton(4, 1, "Menu");
    menuNow->setDropDownMenu(menu);
    TCuteButton* menuHeld = addButton(4, 2, "Hold 500");
    menuHeld->setDropDownMenu(menu);
    menuHeld->setDropDownDelay(500);
    TCuteButton* slow = addButton(4, 3, "Slow 1 s");
    slow->setEgnoreContClick(true);
    slow->setFixedWidth(90);
    connect(slow, &TCuteButton::clicked, this, [this] {
        report(QString("slow click %1 ...").arg(++slowClicks_));
        QThread::msleep(1000);
    });

    status_ = whiteLabel("Click, hover, tab, press space or Enter, or type Alt+S.", this);
    grid->addWidget(status_, rows.size(), 0, 1, 7);
}

TCuteButton* DemoWindow::addButton(int row, int column, const QString& caption) {
    auto* button = new TCuteButton(caption, this);
    button->setFixedSize(button->sizeHint());
    static_cast<QGridLayout*>(layout())->addWidget(button, row, column);
    connect(button, &TCuteButton::clicked, this,
            [this, button] { report("clicked: " + button->caption()); });
    connect(button, &TCuteButton::OnMouseEnter, this,
            [this](TCuteButton* sender, TCuteButton::ShiftState, int x, int y) {
                report(QString("mouse enter: %1 at %2, %3").arg(sender->caption()).arg(x).arg(y));
            });
    return button;
}

void DemoWindow::report(const QString& text) {
    status_->setText(text);
    status_->repaint();
}

}  // namespace qpane
