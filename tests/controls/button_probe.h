#pragma once

#include <QImage>
#include <QPalette>
#include <QRect>
#include <QString>

#include "controls/cute_button.h"

namespace qpane::probe {

// Colours that nothing else on a test button uses, so that each pixel says what drew it.
inline const QColor kFace(0, 160, 0);
inline const QColor kHighlight(255, 0, 0);
inline const QColor kShadow(0, 0, 255);
inline const QColor kText(255, 255, 0);
inline const QColor kSystemLight(250, 250, 210);  // the palette's button highlight
inline const QColor kSystemDark(90, 60, 30);      // the palette's button shadow

inline void useProbeColours(TCuteButton& button) {
    QPalette palette = button.palette();
    palette.setColor(QPalette::Light, kSystemLight);
    palette.setColor(QPalette::Dark, kSystemDark);
    button.setPalette(palette);
    button.setColor(kFace);
    button.setFontColor(kText);
    button.setBevelHighlightColor(kHighlight);
    button.setBevelShadowColor(kShadow);
    // Glyphs without antialiasing have pixels of exactly the pen's colour.
    QFont font = button.font();
    font.setStyleStrategy(QFont::NoAntialias);
    font.setPixelSize(14);
    button.setFont(font);
}

inline QImage render(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QColor at(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

// The outer bevel as it shows on the left edge, for a button with the probe colours, bevel
// width 1 and a raised inner bevel: the outer ring is the first column, the inner the second.
inline QString outerLook(TCuteButton& button) {
    const QImage image = render(button);
    const int y = image.height() / 2;
    const QColor outer = at(image, 0, y), inner = at(image, 1, y);
    if (outer == kShadow && inner == kHighlight) return "lowered";
    if (outer == kHighlight && inner == kHighlight) return "raised";
    if (outer == kHighlight && inner == kFace) return "none";
    return QString("unknown (%1, %2)").arg(outer.name(), inner.name());
}

inline QRect boundsOf(const QImage& image, const QColor& colour) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

inline int countOf(const QImage& image, const QColor& colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

}  // namespace qpane::probe
