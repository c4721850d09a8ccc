#include "gui/widget_maker.h"

#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>

#include "gui/control_binder.h"
#include "gui/face_actions.h"

namespace qpane {

WidgetMaker::WidgetMaker(ControlBinder& binder) : binder_(binder), actions_(binder.actions()) {}

QLabel* WidgetMaker::label(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromUtf8(name));
    l->setGeometry(geometry);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QGroupBox* WidgetMaker::frame(QWidget* parent, const char* name, const QString& title,
                              QRect geometry) {
    auto* f = new QGroupBox(title, parent);
    f->setObjectName(QString::fromUtf8(name));
    f->setGeometry(geometry);
    return f;
}

void WidgetMaker::bindWidget(Control& control, QWidget* widget, QRect geometry,
                             std::function<void()> show) {
    widget->setObjectName(QString::fromStdString(control.name()));
    widget->setGeometry(geometry);
    binder_.bind(control, *widget, [&control, widget, show = std::move(show)] {
        const QSignalBlocker block(widget);
        if (show) show();
        widget->setEnabled(control.enabled());
        widget->setVisible(control.visible());
    });
}

}  // namespace qpane
