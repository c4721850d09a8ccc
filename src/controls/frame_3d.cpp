#include "controls/frame_3d.h"

#include <QPainter>

namespace qpane {

QRect drawFrame3D(QPainter& canvas, QRect rect, const QColor& topLeft, const QColor& bottomRight,
                  int width) {
    // A frame wider than the rectangle stops when nothing is left to draw on.
    for (int ring = 0; ring < width && rect.width() > 0 && rect.height() > 0; ++ring) {
        const int l = rect.left(), t = rect.top(), r = rect.right(), b = rect.bottom();
        canvas.fillRect(QRect(l, t, rect.width() - 1, 1), topLeft);
        canvas.fillRect(QRect(l, t, 1, rect.height() - 1), topLeft);
        canvas.fillRect(QRect(r, t, 1, rect.height()), bottomRight);
        canvas.fillRect(QRect(l, b, rect.width(), 1), bottomRight);
        rect.adjust(1, 1, -1, -1);
    }
    return rect;
}

void drawFocusRect(QPainter& canvas, const QRect& rect, const QColor& color) {
    if (rect.width() <= 0 || rect.height() <= 0) return;
    const auto dot = [&](int x, int y) {
        // Dots on the even squares of a checkerboard, so that the pattern lines up on all sides.
        if (((x + y) & 1) == 0) canvas.fillRect(QRect(x, y, 1, 1), color);
    };
    for (int x = rect.left(); x <= rect.right(); ++x) {
        dot(x, rect.top());
        dot(x, rect.bottom());
    }
    for (int y = rect.top() + 1; y < rect.bottom(); ++y) {
        dot(rect.left(), y);
        dot(rect.right(), y);
    }
}

}  // namespace qpane
