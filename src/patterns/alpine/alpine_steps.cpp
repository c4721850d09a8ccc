#include "patterns/alpine/alpine_steps.h"

#include "app/fqpane.h"
#include "board/board_lines.h"
#include "input/time_values.h"
#include "store/query.h"

namespace qpane::alpine {

namespace {
constexpr int kRowL = 12;

std::string inQuotes(std::string_view value) {
    return "'" + sqlValue(value) + "'";
}

// "where bib='...' and block='...'": every statement on a time is limited to the one record
// of the bib in its block.
std::string bibInBlock(const TFqpane& w) {
    return "where bib=" + inQuotes(w.bibNo) + " and block=" + inQuotes(w.blockNo);
}

std::string groupAndBlock(const TFqpane& w) {
    return "grp=" + inQuotes(w.grpNo) + " and block=" + inQuotes(w.blockNo);
}
}  // namespace

std::string characters(std::string_view text, size_t from, size_t to) {
    if (from < 1 || from > text.size() || to < from) return {};
    return std::string(text.substr(from - 1, to - from + 1));
}

std::string_view lineBody(const TFqpane& w) {
    std::string_view line = w.workLine;
    if (!line.empty()) line.remove_suffix(1);
    return line;
}

char lineCode(const TFqpane& w) {
    const std::string_view body = lineBody(w);
    return body.size() >= 2 ? body[1] : '\0';
}

std::string lineTime(const TFqpane& w) {
    return characters(lineBody(w), 7, 17);
}

bool carriesNoTime(const TFqpane& w) {
    return lineTime(w).empty();
}

void takeQueuedLine(TFqpane& w) {
    w.workLine = w.Memo2.line(0) + "\r";
    if (w.connMode == "B") w.workLine.erase(0, 2);
    const std::string_view body = lineBody(w);
    w.blockNo = characters(body, 3, 3);
    w.bibNo = characters(body, 4, 6);
    setStatement(w.Qtemp, {"select * from timedata where bib=" + inQuotes(w.bibNo) +
                           " and block=" + inQuotes(w.blockNo)});
    w.Qtemp.Open();
    w.grpNo = w.Qtemp.FieldByName("grp").AsString();
}

void dropQueuedLine(TFqpane& w) {
    w.Memo2.deleteLine(0);
}

bool takeTimedLine(TFqpane& w, DroppedLines dropped, char& code) {
    takeQueuedLine(w);
    code = lineCode(w);
    const bool drop =
        code == '\0' ? dropped.withoutCode : dropped.codes.find(code) != std::string_view::npos;
    if (drop || carriesNoTime(w)) {
        dropQueuedLine(w);
        return false;
    }
    w.timeText = lineTime(w);
    return true;
}

void setStatement(TQuery& q, const std::vector<std::string>& lines) {
    q.SQL().Clear();
    for (const std::string& line : lines)
        q.SQL().Add(line);
}

void storeTime(TFqpane& w, std::string_view column, UpdateLines form) {
    const std::string set =
        "update timedata set " + std::string(column) + "=" + inQuotes(w.timeText);
    if (form == UpdateLines::One)
        setStatement(w.Qedit, {set + " " + bibInBlock(w)});
    else
        setStatement(w.Qedit, {set, bibInBlock(w)});
    w.Qedit.ExecSQL();
}

void openRanking(TFqpane& w, std::string_view column) {
    const std::string c(column);
    setStatement(w.Qedit, {"select * from timedata", "where " + c + "<>'' and " + groupAndBlock(w),
                           "order by " + c});
    w.Qedit.Open();
}

std::vector<std::string> rankCountStatement(const TFqpane& w, std::string_view column,
                                            std::string_view group) {
    return {"select count(bib) as cn from timedata",
            "where " + std::string(column) + "<" + inQuotes(w.timeText) +
                " and grp=" + inQuotes(group) + " and block=" + inQuotes(w.blockNo)};
}

std::string openRankCount(TQuery& q) {
    q.Open();
    return std::to_string(q.FieldByName("cn").AsInteger() + 1);
}

std::vector<std::string> gridRun1Statement(const TFqpane& w, bool withBlock) {
    return {
        std::string("select bib,time1") + (withBlock ? ",block" : "") +
            " from timedata where time1<>''",
        "and block=" + inQuotes(w.blockNo) + " and grp=" + inQuotes(w.grpNo) + " order by time1"};
}

std::vector<std::string> gridTotalStatement(const TFqpane& w) {
    return {
        "select bib,time2,totalt from timedata where totalt<>''",
        "and block=" + inQuotes(w.blockNo) + " and grp=" + inQuotes(w.grpNo) + " order by totalt"};
}

std::string rankingRow(const TFqpane& w, int rowNo, std::string_view bib, std::string_view time) {
    return std::string(1, static_cast<char>(64 + rowNo)) + std::string(bib) + "     " +
           w.dptime(time) + "\r";
}

void fillRanking(TFqpane& w, TQuery& q, std::string_view column, int firstRow, int lastRow,
                 bool skipRowL) {
    w.rowNo = firstRow;
    while (!q.Eof() && w.rowNo <= lastRow) {
        w.rowBib = q.FieldByName("bib").AsString();
        w.rowTime = q.FieldByName(column).AsString();
        boardRow(w, w.rowNo) = rankingRow(w, w.rowNo, w.rowBib, w.rowTime);
        q.Next();
        ++w.rowNo;
        if (skipRowL && w.rowNo == kRowL) w.rowNo = kRowL + 1;
    }
}

std::string rankForm(const std::string& rank) {
    switch (rank.size()) {
        case 1: return " . " + rank;
        case 2: return " ." + rank;
        case 3: return rank.substr(0, 1) + "." + rank.substr(1);
        default: return rank;
    }
}

std::string& boardRow(TFqpane& w, int rowNo) {
    return w.boardRows[static_cast<size_t>(rowNo - 1)];
}

void sendRowsAToJ(TFqpane& w) {
    PassRows plan;
    plan.separate.blankFrom = 3;
    w.boardOutput.sendPassRows(w.boardRows, w.rowNo, plan);
}

void logPassLines(TFqpane& w) {
    w.boardOutput.log(w.logLineA);
    w.boardOutput.log(w.logLineB);
    w.boardOutput.log(w.logLineC);
}

std::string differenceRow(const TFqpane& w, char rowLetter) {
    return std::string(1, rowLetter) + "DIF     " + w.dptime(w.numtotime(w.diffTime)) + "\r";
}

}  // namespace qpane::alpine
