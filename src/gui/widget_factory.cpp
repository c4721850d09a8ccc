#include "gui/widget_factory.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include "platform/controls.h"
#include "store/grid_control.h"
#include "controls/cute_button.h"
#include "gui/grid_view.h"
#include "gui/memo_view.h"
#include "gui/panel_widget.h"
#include "gui/radio_group_box.h"
#include "gui/spin_edit_widget.h"
#include "gui/window_font.h"
#include "store/query.h"

namespace qpane::make {

namespace {
template <typename W>
W* placed(W* widget, const char* name, QRect geometry) {
    widget->setObjectName(QString::fromUtf8(name));
    widget->setGeometry(geometry);
    return widget;
}
}  // namespace

QLabel* label(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* l = placed(new QLabel(text, parent), name, geometry);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QGroupBox* frame(QWidget* parent, const char* name, const QString& title, QRect geometry) {
    return placed(new QGroupBox(title, parent), name, geometry);
}

PanelWidget* panel(QWidget* parent, const char* name, QRect geometry) {
    return placed(new PanelWidget(parent), name, geometry);
}

TCuteButton* button(QWidget* parent, const char* name, QRect geometry) {
    return placed(new TCuteButton(parent), name, geometry);
}

RadioGroupBox* radioGroup(QWidget* parent, const RadioGroup& control, int columns, QRect geometry) {
    QStringList items;
    for (const std::string& item : control.items())
        items << QString::fromStdString(item);
    return placed(new RadioGroupBox(items, columns, parent), control.name().c_str(), geometry);
}

QCheckBox* checkBox(QWidget* parent, const char* name, QRect geometry) {
    return placed(new QCheckBox(parent), name, geometry);
}

QLineEdit* edit(QWidget* parent, const char* name, QRect geometry) {
    return placed(new QLineEdit(parent), name, geometry);
}

QLineEdit* maskEdit(QWidget* parent, const char* name, QRect geometry) {
    auto* e = edit(parent, name, geometry);
    e->setInputMask(QString::fromLatin1(kTimeInputMask));
    e->setProperty("EditMask", QString::fromLatin1(kTimeEditMask));
    e->setFont(fixedPitchFont());
    return e;
}

SpinEditWidget* spinEdit(QWidget* parent, const char* name, QRect geometry) {
    return placed(new SpinEditWidget(parent), name, geometry);
}

QSlider* trackBar(QWidget* parent, const TrackBar& control, QRect geometry) {
    auto* s = placed(new QSlider(Qt::Horizontal, parent), control.name().c_str(), geometry);
    s->setRange(control.MinValue(), control.MaxValue());
    s->setPageStep(1);
    s->setTickPosition(QSlider::TicksBelow);
    s->setTickInterval(1);
    // Ticks in the system's colours: the style draws them darker than the window colour,
    // which on the black page would hide them.
    QPalette system = s->palette();
    system.setColor(QPalette::Window, QApplication::palette(s).color(QPalette::Window));
    s->setPalette(system);
    return s;
}

MemoView* memo(QWidget* parent, const char* name, QRect geometry) {
    auto* m = placed(new MemoView(parent), name, geometry);
    m->setFont(fixedPitchFont());
    return m;
}

GridView* grid(QWidget* parent, GridControl& control, std::vector<GridColumn> columns,
               QRect geometry) {
    auto* g = placed(new GridView(control.query(), std::move(columns), parent),
                     control.name().c_str(), geometry);
    g->setFont(fixedPitchFont());
    return g;
}

}  // namespace qpane::make
