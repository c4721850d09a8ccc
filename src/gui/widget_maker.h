#pragma once

#include <QRect>
#include <QString>

#include <functional>
#include <string>
#include <vector>

#include "gui/query_table_model.h"
#include "platform/controls.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSlider;
class QStackedWidget;
class QWidget;

namespace qpane {

class ControlBinder;
class FaceActions;
class GridControl;
class GridView;
class Memo;
class MemoView;
class PanelWidget;
class PatternImage;
class RadioGroupBox;
class SpinEditWidget;
class TCuteButton;

// Makes the widgets of the window, each at its fixed place, while the window is built (the
// widgets outlive the maker). The widget of a control is made
// from the core's control itself, one overload of widgetOf per kind: its class follows from
// the kind, its objectName is the control's name, and it is bound to the control at once.
// Each overload is the one place for its kind: how the widget looks, what the operator's use
// of it runs in the core, and how it shows the control's state. A control type without an
// overload cannot be given a widget: the build fails. What a control shows (captions, items
// chosen, texts, values) comes from the core; what is fixed here is the layout.
class WidgetMaker {
  public:
    explicit WidgetMaker(ControlBinder& binder);

    // Widgets that show no control of the core: plain labels and frames.
    QLabel* label(QWidget* parent, const char* name, const QString& text, QRect geometry);
    QGroupBox* frame(QWidget* parent, const char* name, const QString& title, QRect geometry);

    // What shows and what is clicked (widget_maker_views.cpp).
    QStackedWidget* widgetOf(QWidget* parent, PageControl& control, QRect geometry);
    PanelWidget* widgetOf(QWidget* parent, Panel& control, QRect geometry);
    QLabel* widgetOf(QWidget* parent, Label& control, QRect geometry);
    TCuteButton* widgetOf(QWidget* parent, Button& control, QRect geometry);
    PatternImage* widgetOf(QWidget* parent, Image& control, QRect geometry, int patternNo);
    MemoView* widgetOf(QWidget* parent, Memo& control, QRect geometry);
    GridView* widgetOf(QWidget* parent, GridControl& control, QRect geometry,
                       std::vector<GridColumn> columns = {});

    // What the operator sets (widget_maker_fields.cpp).
    RadioGroupBox* widgetOf(QWidget* parent, RadioGroup& control, QRect geometry, int columns);
    QCheckBox* widgetOf(QWidget* parent, CheckBox& control, QRect geometry);
    QLineEdit* widgetOf(QWidget* parent, Edit& control, QRect geometry);
    // The time field: "99:99:99.99;1;_" (eight digit places that may stay empty, the
    // separators kept in the text, "_" shown for an empty place).
    QLineEdit* widgetOf(QWidget* parent, MaskEdit& control, QRect geometry);
    SpinEditWidget* widgetOf(QWidget* parent, SpinEdit& control, QRect geometry);
    QSlider* widgetOf(QWidget* parent, TrackBar& control, QRect geometry);

    // The mask of the time fields as the console writes it, and as Qt writes it.
    static constexpr const char* kTimeEditMask = "99:99:99.99;1;_";
    static constexpr const char* kTimeInputMask = "00:00:00.00;_";

  private:
    // Names and places widget after control and binds them; show shows the kind's own state,
    // and then the widget shows whether the control is enabled and visible.
    void bindWidget(Control& control, QWidget* widget, QRect geometry, std::function<void()> show);
    ControlBinder& binder_;
    FaceActions& actions_;
};

// The text of a time field as the core keeps it: 11 characters, an empty place a blank.
std::string maskedText(const QLineEdit& edit);

}  // namespace qpane
