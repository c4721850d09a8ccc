#pragma once

#include <QColor>
#include <QRect>

class QPainter;

namespace qpane {

// Draws a three-dimensional frame of `width` one-pixel rings just inside rect and returns rect
// shrunk by the frame. In each ring topLeft takes the top row (without its rightmost pixel) and
// the left column (without its bottom pixel); bottomRight takes the right column and the bottom
// row whole, so the two corners belong to the dark side as on the classic Windows panel.
QRect drawFrame3D(QPainter& canvas, QRect rect, const QColor& topLeft, const QColor& bottomRight,
                  int width);

// Draws a dotted one-pixel rectangle on the border of rect, dots on every other pixel.
void drawFocusRect(QPainter& canvas, const QRect& rect, const QColor& color);

}  // namespace qpane
