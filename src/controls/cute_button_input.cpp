// Focus, mouse, keyboard, accelerator, click and drop-down of TCuteButton.
//
// The toolkit's mouse capture is kept as captured_: it begins with a left press on the button
// and ends with the release, or when a delayed drop-down takes over the press. clickPending_
// is the press that a release inside the button turns into a click. As on the classic panel the
// click comes before the release's own handling, so the button still looks pressed while its
// click handler runs.

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "controls/cute_button.h"
#include "controls/cute_button_timer.h"

namespace qpane {

namespace {

// Focus that goes to a popup menu, or away with the window's activation, comes back to the same
// button: the button has not been left, and its look stays.
bool focusOnlyLent(Qt::FocusReason reason) {
    return reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason;
}

bool isEnterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

TCuteButton::ShiftState TCuteButton::currentShiftState() {
    ShiftState shift;
    const Qt::KeyboardModifiers keys = QGuiApplication::queryKeyboardModifiers();
    const Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
    shift.setFlag(ShiftKey::Shift, keys & Qt::ShiftModifier);
    shift.setFlag(ShiftKey::Alt, keys & Qt::AltModifier);
    shift.setFlag(ShiftKey::Ctrl, keys & Qt::ControlModifier);
    shift.setFlag(ShiftKey::Left, buttons & Qt::LeftButton);
    shift.setFlag(ShiftKey::Right, buttons & Qt::RightButton);
    shift.setFlag(ShiftKey::Middle, buttons & Qt::MiddleButton);
    return shift;
}

bool TCuteButton::isActiveControl() const {
    // The window's focus widget stays while the window is inactive, like a form's active control.
    return window()->focusWidget() == this;
}

void TCuteButton::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateGeometry();
        update();
    } else if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled()) {
            // A disabled button takes no press to its end and opens no menu later; the mouse
            // no longer counts as over it, as it would not once it moves.
            cancelPress();
            if (hovered_) setHovered(false, currentShiftState(), mapFromGlobal(QCursor::pos()));
        } else if (underMouse() && !hovered_) {
            setHovered(true, currentShiftState(), mapFromGlobal(QCursor::pos()));
        }
        update();
    }
}

void TCuteButton::cancelPress() {
    freeDelayTimer();
    spaceDown_ = false;
    captured_ = false;
    clickPending_ = false;
}

// Focus ------------------------------------------------------------------------------------

void TCuteButton::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    // Coming back from a popup changes nothing; an activated window enters its focus widget.
    if (event->reason() == Qt::PopupFocusReason) return;
    if (tabFocusUp_) setBevelOuter(Bevel::Raised);
}

void TCuteButton::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    if (focusOnlyLent(event->reason())) {
        // The popup or the other window takes the mouse along: a press held here is lost.
        captured_ = false;
        return;
    }
    // A space bar held while the focus moved on belongs to the next control now.
    spaceDown_ = false;
    setBevelOuter(Bevel::None);
}

// Mouse ------------------------------------------------------------------------------------

void TCuteButton::MouseEnter(ShiftState shift, QPoint pos) {
    QPointer<TCuteButton> self(this);
    emit OnMouseEnter(this, shift, pos.x(), pos.y());
    if (!self) return;
    // Coming back over the button with the left button still down shows it pressed again.
    setBevelOuter(shift & ShiftKey::Left ? Bevel::Lowered : Bevel::Raised);
}

void TCuteButton::MouseLeave(ShiftState shift, QPoint pos) {
    QPointer<TCuteButton> self(this);
    emit OnMouseLeave(this, shift, pos.x(), pos.y());
    if (!self) return;
    setBevelOuter(hasFocus() && tabFocusUp_ ? Bevel::Raised : Bevel::None);
}

void TCuteButton::setHovered(bool inside, ShiftState shift, QPoint pos) {
    // Qt reports entering and leaving on its own, and while a press is held only through moves;
    // both roads end here so that each crossing is reported once.
    if (inside == hovered_) return;
    hovered_ = inside;
    if (inside) {
        MouseEnter(shift, pos);
    } else {
        MouseLeave(shift, pos);
    }
}

void TCuteButton::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    if (!isEnabled()) return;
    setHovered(true, currentShiftState(), event->position().toPoint());
}

void TCuteButton::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    setHovered(false, currentShiftState(), mapFromGlobal(QCursor::pos()));
}

void TCuteButton::mousePressEvent(QMouseEvent* event) {
    event->accept();
    const bool left = event->button() == Qt::LeftButton;
    if (left) {
        captured_ = true;
        clickPending_ = true;
    }
    QPointer<TCuteButton> self(this);
    setFocus(Qt::MouseFocusReason);
    if (!self) return;
    if (left) setBevelOuter(Bevel::Lowered);
    if (left && dropDownMenu_) {
        keyboardDrop_ = false;
        DropDownPress();
    }
}

void TCuteButton::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (!captured_) return;
    const QPoint pos = event->position().toPoint();
    ShiftState shift = currentShiftState();
    shift.setFlag(ShiftKey::Left, event->buttons() & Qt::LeftButton);
    setHovered(rect().contains(pos), shift, pos);
}

void TCuteButton::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    leftButtonUp(event->position().toPoint());
}

void TCuteButton::leftButtonUp(QPoint pos) {
    const bool inside = rect().contains(pos);
    captured_ = false;
    if (clickPending_) {
        clickPending_ = false;
        if (inside) {
            QPointer<TCuteButton> self(this);
            Click();
            if (!self) return;
        }
    }
    if (inside) {
        setBevelOuter(Bevel::Raised);
    } else {
        setBevelOuter(tabFocusUp_ && isActiveControl() ? Bevel::Raised : Bevel::None);
    }
    freeDelayTimer();
}

// Keyboard ---------------------------------------------------------------------------------

void TCuteButton::restoreBevelAfterKey() {
    setBevelOuter(tabFocusUp_ ? Bevel::Raised : Bevel::None);
}

void TCuteButton::pressByKey() {
    QPointer<TCuteButton> self(this);
    setBevelOuter(Bevel::Lowered);
    if (!dropDownMenu_ || dropDownDelay_ != 0) {
        Click();
    } else {
        keyboardDrop_ = true;
        DropDown();
    }
    if (!self) return;
    restoreBevelAfterKey();
}

void TCuteButton::keyPressEvent(QKeyEvent* event) {
    if (!isEnabled()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int key = event->key();
    if (key == Qt::Key_Space) {
        event->accept();
        // A held space bar repeats; the press it began is already under way.
        if (event->isAutoRepeat()) return;
        spaceDown_ = true;
        setBevelOuter(Bevel::Lowered);
        if (dropDownMenu_) {
            keyboardDrop_ = true;
            DropDownPress();
        }
        return;
    }
    if (isEnterKey(key)) {
        event->accept();
        pressByKey();
        return;
    }
    if (spaceDown_) {
        spaceDown_ = false;
        restoreBevelAfterKey();
    }
    QWidget::keyPressEvent(event);
}

void TCuteButton::keyReleaseEvent(QKeyEvent* event) {
    // X11 reports a held key as repeated release and press pairs; only the real release counts.
    if (event->isAutoRepeat()) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Space && spaceDown_) {
        event->accept();
        spaceUp();
        return;
    }
    freeDelayTimer();
    QWidget::keyReleaseEvent(event);
}

void TCuteButton::spaceUp() {
    freeDelayTimer();
    if (!spaceDown_) return;
    spaceDown_ = false;
    QPointer<TCuteButton> self(this);
    Click();
    if (!self) return;
    restoreBevelAfterKey();
}

// Click and drop-down ----------------------------------------------------------------------

void TCuteButton::Click() {
    if (dropDownActive_) {
        // The release that ends a drop-down does not click.
        dropDownActive_ = false;
        return;
    }
    if (!egnoreContClick_) {
        emit clicked();
        return;
    }
    // The handler is detached while it runs and while the input that queued up meanwhile is
    // worked off, so those clicks raise nothing.
    if (handlerDetached_) return;
    QPointer<TCuteButton> self(this);
    handlerDetached_ = true;
    emit clicked();
    if (!self) return;
    QCoreApplication::processEvents();
    if (!self) return;
    handlerDetached_ = false;
}

void TCuteButton::DropDownPress() {
    if (dropDownDelay_ < 1) {
        DropDown();
        return;
    }
    if (delayTimer_) return;
    delayTimer_ = new TCuteButtonTimer(this, dropDownDelay_);
    delayTimer_->start();
}

void TCuteButton::freeDelayTimer() {
    if (!delayTimer_) return;
    delayTimer_->stop();
    // Deferred: this may run inside the timer's own timeout.
    delayTimer_->deleteLater();
    delayTimer_ = nullptr;
}

void TCuteButton::delayTimerFired() {
    freeDelayTimer();
    if (keyboardDrop_) {
        DropDown();
    } else if (captured_) {
        // The menu takes over the held press; its release belongs to the menu.
        captured_ = false;
        DropDown();
    }
}

void TCuteButton::DropDown() {
    if (!dropDownMenu_ || dropDownMenu_->isVisible()) return;
    QPointer<TCuteButton> self(this);
    QPointer<QMenu> menu = dropDownMenu_;
    const QPoint at = mapToGlobal(QPoint(0, height()));
    dropDownActive_ = true;
    QCoreApplication::processEvents();
    if (!self) return;
    if (menu) menu->exec(at);
    if (!self) return;
    // The press that opened the menu never ends here on its own: end it now. Its release lands
    // on Click while dropDownActive_ is set, so it raises nothing.
    if (keyboardDrop_) {
        spaceUp();
    } else {
        leftButtonUp(QPoint(0, 0));
    }
    if (!self) return;
    dropDownActive_ = false;
}

}  // namespace qpane
