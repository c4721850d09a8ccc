#pragma once

#include <QRect>
#include <QString>

#include <vector>

#include "gui/query_table_model.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSlider;
class QWidget;

namespace qpane {

class GridControl;
class GridView;
class MemoView;
class PanelWidget;
class RadioGroup;
class RadioGroupBox;
class SpinEditWidget;
class TCuteButton;
class TrackBar;

// The widgets of the pages, each at its fixed place and named by objectName after its
// component. What a control shows (captions, items chosen, texts, values) comes from the core
// when the window binds it; what is fixed here is the layout and the texts of plain labels.
namespace make {

QLabel* label(QWidget* parent, const char* name, const QString& text, QRect geometry);
QGroupBox* frame(QWidget* parent, const char* name, const QString& title, QRect geometry);
PanelWidget* panel(QWidget* parent, const char* name, QRect geometry);
TCuteButton* button(QWidget* parent, const char* name, QRect geometry);
RadioGroupBox* radioGroup(QWidget* parent, const RadioGroup& control, int columns, QRect geometry);
QCheckBox* checkBox(QWidget* parent, const char* name, QRect geometry);
QLineEdit* edit(QWidget* parent, const char* name, QRect geometry);
// The time field: "99:99:99.99;1;_" (eight digit places that may stay empty, the separators
// kept in the text, "_" shown for an empty place).
QLineEdit* maskEdit(QWidget* parent, const char* name, QRect geometry);
SpinEditWidget* spinEdit(QWidget* parent, const char* name, QRect geometry);
QSlider* trackBar(QWidget* parent, const TrackBar& control, QRect geometry);
MemoView* memo(QWidget* parent, const char* name, QRect geometry);
GridView* grid(QWidget* parent, GridControl& control, std::vector<GridColumn> columns,
               QRect geometry);

// The mask of the time fields as the console writes it, and as Qt writes it.
inline constexpr const char* kTimeEditMask = "99:99:99.99;1;_";
inline constexpr const char* kTimeInputMask = "00:00:00.00;_";

}  // namespace make
}  // namespace qpane
