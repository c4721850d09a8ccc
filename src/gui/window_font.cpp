#include "gui/window_font.h"

#include <QFontDatabase>
#include <QStringList>

namespace qpane {

namespace {

constexpr int kPixelHeight = 12;

// The first family of the list that is installed (Windows names the MS fonts in English as
// well), else the last one.
QFont firstInstalled(const QStringList& families) {
    const QStringList installed = QFontDatabase::families();
    QString family = families.back();
    for (const QString& candidate : families) {
        if (installed.contains(candidate, Qt::CaseInsensitive)) {
            family = candidate;
            break;
        }
    }
    QFont font(family);
    font.setPixelSize(kPixelHeight);
    return font;
}

}  // namespace

QFont windowFont() {
    return firstInstalled({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                           QStringLiteral("IPAPGothic")});
}

QFont fixedPitchFont() {
    QFont font = firstInstalled({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                                 QStringLiteral("IPAGothic")});
    font.setStyleHint(QFont::Monospace);
    return font;
}

}  // namespace qpane
