#include "gui/qr_code.h"

#include <qrencode.h>

#include <memory>

namespace qpane {

QImage qrCodeImage(const QString& text, int scale) {
    const QByteArray bytes = text.toUtf8();
    std::unique_ptr<QRcode, void (*)(QRcode*)> code(
        QRcode_encodeString(bytes.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), QRcode_free);
    if (!code) return {};
    constexpr int kQuiet = 4;
    const int side = (code->width + 2 * kQuiet) * scale;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < code->width; ++y)
        for (int x = 0; x < code->width; ++x) {
            if (!(code->data[y * code->width + x] & 1)) continue;
            for (int dy = 0; dy < scale; ++dy)
                for (int dx = 0; dx < scale; ++dx)
                    image.setPixel((x + kQuiet) * scale + dx, (y + kQuiet) * scale + dy,
                                   qRgb(0, 0, 0));
        }
    return image;
}

}  // namespace qpane
