#pragma once

#include <QObject>

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

class QWidget;

namespace qpane {

class Control;
class FaceActions;
class TFqpane;

// Keeps the widgets of the window in step with the core's controls, and turns the operator's
// use of a widget into the core's handler through FaceActions. Each control is bound to the
// widget of the window named after it. While a widget is updated from the core its signals
// are blocked, so nothing goes back.
class ControlBinder : public QObject {
    Q_OBJECT
  public:
    ControlBinder(QWidget& window, FaceActions& actions);
    ~ControlBinder() override;

    // Binds the core's controls, memos and grids to the widgets of the window; the pages and
    // the window itself go to onPageOrWindow, which the main window shows.
    void bindAll(std::function<void(Control&)> onPageOrWindow);

    // Shows what the core holds for control in its widget.
    void show(Control& control);
    // Gives the keyboard focus to the widget that the core named, when it has not got it.
    void applyFocus();

    QWidget* widgetOf(const Control& control) const;
    // The controls that found no widget of their name (timers have none).
    const std::vector<std::string>& unbound() const { return unbound_; }

  private:
    void bind(Control& control, QWidget* widget);
    void bindMemos();
    void watchFocus();
    Control* controlOf(QWidget* widget) const;

    QWidget& window_;
    FaceActions& actions_;
    TFqpane& core_;
    std::function<void(Control&)> onPageOrWindow_;
    std::unordered_map<const Control*, QWidget*> widgets_;
    std::unordered_map<const Control*, std::function<void()>> refreshers_;
    std::unordered_map<const QWidget*, Control*> controls_;
    std::vector<std::string> unbound_;
};

}  // namespace qpane
