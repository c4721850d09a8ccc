#pragma once

#include <QTest>
#include <QWidget>

#include <memory>

#include "button_probe.h"
#include "controls/cute_button.h"

namespace qpane::probe {

// An active window with the button under test at (50, 50) and a second button below it that
// has the focus at first; the mouse starts over the window, outside both buttons.
struct ButtonWindow {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    TCuteButton* button = new TCuteButton("&Set", window.get());
    TCuteButton* other = new TCuteButton("Other", window.get());
    int clicks = 0;
    QList<TCuteButton::ShiftState> enters, leaves;
    QList<QPoint> enteredAt;

    ButtonWindow() {
        window->setGeometry(100, 100, 300, 200);
        button->move(50, 50);
        other->move(50, 120);
        useProbeColours(*button);
        QObject::connect(button, &TCuteButton::clicked, [this] { ++clicks; });
        QObject::connect(button, &TCuteButton::OnMouseEnter,
                         [this](TCuteButton*, TCuteButton::ShiftState shift, int x, int y) {
                             enters << shift;
                             enteredAt << QPoint(x, y);
                         });
        QObject::connect(
            button, &TCuteButton::OnMouseLeave,
            [this](TCuteButton*, TCuteButton::ShiftState shift, int, int) { leaves << shift; });
    }

    // Shows and activates the window with the focus on the other button; false when the
    // platform would not activate it.
    bool open() {
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get())) return false;
        other->setFocus(Qt::OtherFocusReason);
        // Two moves: a window that opens under a resting mouse learns of it from a real move.
        QTest::mouseMove(window.get(), QPoint(5, 5));
        QTest::mouseMove(window.get(), QPoint(10, 10));
        return true;
    }

    QPoint centre() const { return button->rect().center(); }
    // A point of the window outside the button, in the button's coordinates.
    QPoint outside() const { return QPoint(-20, 10); }
};

}  // namespace qpane::probe
