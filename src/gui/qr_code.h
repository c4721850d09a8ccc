#pragma once

#include <QImage>
#include <QString>

namespace qpane {

// The QR code of a text (the live page's address) as a black-on-white image with a quiet
// zone, each module scale pixels; a null image when the text cannot be encoded.
QImage qrCodeImage(const QString& text, int scale = 6);

}  // namespace qpane
