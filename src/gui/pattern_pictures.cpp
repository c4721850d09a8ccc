#include "gui/pattern_pictures.h"

#include <QFont>
#include <QFontDatabase>
#include <QPainter>
#include <QRect>

#include <vector>

namespace qpane {

namespace {

enum class Role { Now, Time, Total, Diff, Scroll, Top, Rank };

struct Row {
    const char* number;  // bib, or empty
    const char* time;
    const char* rank;  // rank field, or empty
    Role role;
};

QColor colorOf(Role role) {
    switch (role) {
        case Role::Now: return QColor(255, 220, 0);
        case Role::Time: return QColor(255, 220, 0);
        case Role::Total: return QColor(0, 220, 255);
        case Role::Diff: return QColor(255, 140, 40);
        case Role::Scroll: return QColor(255, 220, 0);
        case Role::Top: return QColor(120, 255, 120);
        case Role::Rank: return QColor(60, 200, 60);
    }
    return Qt::white;
}

const char* wordOf(Role role) {
    switch (role) {
        case Role::Now: return "now";
        case Role::Time: return "time";
        case Role::Total: return "total";
        case Role::Diff: return "DIF";
        case Role::Scroll: return "scroll";
        case Role::Top: return "top";
        case Role::Rank: return "rank";
    }
    return "";
}

// A ranking of the group and block, best first, with or without the rank field.
std::vector<Row> ranking(int from, int count, bool withRank) {
    static const Row kBest[] = {
        {"005", " 1:20.11", "01", Role::Rank}, {"018", " 1:21.02", "02", Role::Rank},
        {"012", " 1:23.45", "03", Role::Rank}, {"031", " 1:24.60", "04", Role::Rank},
        {"027", " 1:25.08", "05", Role::Rank}, {"009", " 1:26.77", "06", Role::Rank},
        {"044", " 1:27.30", "07", Role::Rank},
    };
    std::vector<Row> rows;
    for (int i = from; i < from + count && i < static_cast<int>(std::size(kBest)); ++i) {
        Row row = kBest[i];
        if (!withRank) row.rank = "";
        rows.push_back(row);
    }
    return rows;
}

std::vector<Row> crossRanking(int count) {
    static const Row kBest[] = {
        {"003", "10:59.1", "", Role::Rank}, {"017", "11:02.8", "", Role::Rank},
        {"045", "11:15.0", "", Role::Rank}, {"022", "11:40.9", "", Role::Rank},
        {"038", "11:52.3", "", Role::Rank},
    };
    return std::vector<Row>(kBest, kBest + std::min<size_t>(count, std::size(kBest)));
}

std::vector<Row> rowsOf(int patternNo) {
    std::vector<Row> rows;
    auto add = [&rows](std::vector<Row> more) {
        rows.insert(rows.end(), more.begin(), more.end());
    };
    switch (patternNo) {
        case 1:  // the competitor, the total, the ranking
            rows = {{"012", " 1:23.45", "", Role::Now}, {"", " 2:47.90", "", Role::Total}};
            add(ranking(0, 5, true));
            break;
        case 2:  // the ranking alone, the leader first
            add(ranking(0, 7, true));
            break;
        case 3:  // bib and rank, the time, the eight best
            rows = {{"012", "", "03", Role::Now}, {"", " 1:23.45", "", Role::Time}};
            add(ranking(0, 5, true));
            break;
        case 4:  // bib and rank, the time, the difference, the seven best
            rows = {{"012", "", "03", Role::Now},
                    {"", " 1:23.45", "", Role::Time},
                    {"DIF", "   +3.34", "", Role::Diff}};
            add(ranking(0, 4, true));
            break;
        case 5:  // bib and time, the difference, the eight best without rank
            rows = {{"012", " 1:23.45", "", Role::Now}, {"DIF", "   +3.34", "", Role::Diff}};
            add(ranking(0, 5, false));
            break;
        case 11:  // three rows of passes scrolling down, then the ranking
            rows = {{"045", "11:15.0", "", Role::Scroll},
                    {"017", "11:02.8", "", Role::Scroll},
                    {"022", "11:40.9", "", Role::Scroll}};
            add(crossRanking(4));
            break;
        case 12:  // two scrolling rows above the leader of the group
            rows = {{"045", "11:15.0", "", Role::Scroll},
                    {"017", "11:02.8", "", Role::Scroll},
                    {"003", "10:59.1", "", Role::Top}};
            add(crossRanking(5));
            rows.erase(rows.begin() + 3);
            break;
        case 13:  // the pass, its difference to the leader, the ranking from the leader
            rows = {{"045", "11:15.0", "", Role::Now},
                    {"DIF", " +15.9", "", Role::Diff},
                    {"003", "10:59.1", "", Role::Top}};
            add(crossRanking(5));
            rows.erase(rows.begin() + 3);
            break;
        case 14:  // the runner with the rank, the time, the ranking from the leader
            rows = {{"045", "", "03", Role::Now},
                    {"", "11:15.0", "", Role::Time},
                    {"003", "10:59.1", "", Role::Top}};
            add(crossRanking(5));
            rows.erase(rows.begin() + 3);
            break;
        default: break;
    }
    return rows;
}

QFont boardFont(int pixelSize) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(pixelSize);
    return font;
}

}  // namespace

void drawPatternPicture(QPainter& painter, const QRect& area, int patternNo) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(area, QColor(16, 16, 16));
    painter.setPen(QColor(90, 90, 90));
    painter.drawRect(area.adjusted(0, 0, -1, -1));

    const std::vector<Row> rows = rowsOf(patternNo);
    const int rowHeight = 14;
    const QFont font = boardFont(10);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const int charWidth = metrics.horizontalAdvance(QLatin1Char('0'));
    const int left = area.left() + 5;
    int y = area.top() + 5;
    const int shownRows =
        std::min<int>(static_cast<int>(rows.size()), (area.height() - 8) / rowHeight);
    for (int i = 0; i < shownRows; ++i) {
        const Row& row = rows[static_cast<size_t>(i)];
        const QRect line(left, y, area.width() - 10, rowHeight);
        painter.setPen(QColor(120, 120, 120));
        painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, QString(QChar('A' + i)));
        painter.setPen(colorOf(row.role));
        const QString body = QStringLiteral("%1 %2 %3")
                                 .arg(QString::fromLatin1(row.number), 3)
                                 .arg(QString::fromLatin1(row.time), -8)
                                 .arg(QString::fromLatin1(row.rank), 2);
        painter.drawText(line.adjusted(charWidth * 2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         body);
        painter.setPen(QColor(150, 150, 150));
        // Scroll rows leave room for the arrow at the right edge.
        const int arrowRoom = row.role == Role::Scroll ? 10 : 0;
        painter.drawText(line.adjusted(0, 0, -arrowRoom, 0), Qt::AlignRight | Qt::AlignVCenter,
                         QString::fromLatin1(wordOf(row.role)));
        y += rowHeight;
    }
    // The passes move down the board as new ones come.
    if (patternNo == 11 || patternNo == 12) {
        const int scrollRows = patternNo == 11 ? 3 : 2;
        const int x = area.right() - 7;
        const int top = area.top() + 7;
        const int bottom = area.top() + 5 + scrollRows * rowHeight - 3;
        painter.setPen(QPen(QColor(255, 220, 0), 1));
        painter.drawLine(x, top, x, bottom);
        painter.drawLine(x, bottom, x - 3, bottom - 4);
        painter.drawLine(x, bottom, x + 3, bottom - 4);
    }
    painter.restore();
}

}  // namespace qpane
