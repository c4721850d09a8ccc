#pragma once

#include <functional>
#include <string>

class QLineEdit;
class QWidget;

namespace qpane {

class Control;
class FaceActions;

// Binds one control to its widget by the control's kind: connects what the operator does with
// the widget to the core's handler, and returns the function that shows the control's state
// in the widget (with the widget's signals blocked). An empty function when the widget is not
// of the kind the control needs.
std::function<void()> bindWidget(Control& control, QWidget* widget, FaceActions& actions);

// The text of a time field as the core keeps it: 11 characters, an empty place a blank.
std::string maskedText(const QLineEdit& edit);

}  // namespace qpane
