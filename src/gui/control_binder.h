#pragma once

#include <QObject>

#include <functional>
#include <stdexcept>
#include <string>
#include <unordered_map>

class QWidget;

namespace qpane {

class Control;
class Controls;
class FaceActions;
class TFqpane;

// The window's widgets do not fit the core's controls: a control without a widget, or one
// bound twice. The window does not start.
class BindingError : public std::logic_error {
  public:
    using std::logic_error::logic_error;
};

// Keeps the widgets of the window in step with the core's controls. Each control is bound to
// exactly one widget, by the control itself (WidgetMaker makes the widget of each kind); the
// window's start-up checks that none is left out. While a widget shows what the core holds
// its signals are blocked, so nothing goes back.
class ControlBinder : public QObject {
    Q_OBJECT
  public:
    ControlBinder(QWidget& window, FaceActions& actions);
    ~ControlBinder() override;

    FaceActions& actions() const { return actions_; }

    // Binds control to widget; show shows the control's state in the widget. A control or a
    // widget that is bound already is refused with BindingError. The focus in a widget is the
    // focus of its control, except in the window and its pages (holdsFocus false): there it
    // is in a widget of no control of its own.
    void bind(Control& control, QWidget& widget, std::function<void()> show,
              bool holdsFocus = true);
    // Every control that the window shows has its widget, or BindingError names those that
    // have none. Then every widget shows what the core holds, and follows it from now on.
    void finish();

    // Shows what the core holds for control in its widget.
    void show(Control& control);
    // Gives the keyboard focus to the widget that the core named, when it has not got it.
    void applyFocus();

    QWidget* widgetOf(const Control& control) const;

  private:
    void watchFocus();
    Control* controlOf(QWidget* widget) const;

    QWidget& window_;
    FaceActions& actions_;
    TFqpane& core_;
    struct Binding {
        QWidget* widget;
        std::function<void()> show;
        bool holdsFocus;
    };
    std::unordered_map<const Control*, Binding> bindings_;
    std::unordered_map<const QWidget*, Control*> controls_;
};

}  // namespace qpane
