#include "gui/pattern_image.h"

#include <QMouseEvent>
#include <QPainter>

#include "gui/pattern_pictures.h"

namespace qpane {

namespace {
constexpr int kCaptionHeight = 20;
}

PatternImage::PatternImage(int patternNo, QWidget* parent)
    : QWidget(parent), patternNo_(patternNo) {
    setCursor(Qt::PointingHandCursor);
}

void PatternImage::setCaption(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    update();
}

void PatternImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect picture(0, 0, width(), height() - kCaptionHeight);
    drawPatternPicture(painter, picture, patternNo_);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, height() - kCaptionHeight, width(), kCaptionHeight), Qt::AlignCenter,
                     caption_);
}

void PatternImage::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void PatternImage::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click) emit clicked();
}

}  // namespace qpane
