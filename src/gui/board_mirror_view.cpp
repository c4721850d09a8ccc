#include "gui/board_mirror_view.h"

#include <QFontDatabase>
#include <QPainter>

namespace qpane {

namespace {
QFont boardFont() {
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPixelSize(20);
    f.setBold(true);
    return f;
}
constexpr int kRowChars = 31;
}  // namespace

BoardMirrorView::BoardMirrorView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("BoardMirrorView"));
    setFont(boardFont());
    setAutoFillBackground(false);
}

void BoardMirrorView::showSnapshot(web::SnapshotPtr snapshot) {
    snapshot_ = std::move(snapshot);
    update();
}

QString BoardMirrorView::rowText(int index) const {
    const QChar letter(static_cast<char16_t>('A' + index));
    if (!snapshot_) return QString(letter);
    const web::MirrorRow& row = snapshot_->board->rows[static_cast<size_t>(index)];
    const QString text = QString::fromStdString(row.text);
    return QString(letter) + QLatin1Char(' ') + text.mid(1);
}

QSize BoardMirrorView::sizeHint() const {
    const QFontMetrics m(font());
    return {m.horizontalAdvance(QLatin1Char('8')) * (kRowChars + 2) + 24,
            m.height() * web::BoardMirror::kRows + 24};
}

void BoardMirrorView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.setFont(font());
    const QFontMetrics m(font());
    const int charWidth = m.horizontalAdvance(QLatin1Char('8'));
    for (int i = 0; i < web::BoardMirror::kRows; ++i) {
        const int y = 12 + m.ascent() + i * m.height();
        const QString text = rowText(i);
        p.setPen(QColor(90, 90, 90));
        p.drawText(12, y, text.left(1));
        p.setPen(QColor(255, 180, 0));
        p.drawText(12 + 2 * charWidth, y, text.mid(2));
    }
}

}  // namespace qpane
