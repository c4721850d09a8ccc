#include "gui/panel_widget.h"

#include <QPainter>

namespace qpane {

PanelWidget::PanelWidget(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setColor(palette().color(QPalette::Button));
}

void PanelWidget::setColor(const QColor& color) {
    if (color == color_) return;
    color_ = color;
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    p.setColor(QPalette::WindowText, color.lightness() < 128 ? Qt::white : Qt::black);
    setPalette(p);
    update();
}

void PanelWidget::setCaption(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    update();
}

void PanelWidget::paintEvent(QPaintEvent*) {
    if (caption_.isEmpty()) return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect().adjusted(4, 2, -4, -2), Qt::AlignTop | Qt::AlignHCenter, caption_);
}

}  // namespace qpane
