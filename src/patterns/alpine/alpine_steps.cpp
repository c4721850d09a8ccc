#include "patterns/alpine/alpine_steps.h"

#include "board/board_lines.h"
#include "input/line_list.h"
#include "input/time_values.h"
#include "store/query.h"

namespace qpane::alpine {

namespace {
std::string inQuotes(std::string_view value) {
    return "'" + sqlValue(value) + "'";
}

// "where bib='...' and block='...'": every statement on a time is limited to the one record
// of the bib in its block.
std::string bibInBlock(const AlpineContext& c) {
    return "where bib=" + inQuotes(c.fields.bibNo) + " and block=" + inQuotes(c.fields.blockNo);
}

std::string groupAndBlock(const AlpineContext& c) {
    return "grp=" + inQuotes(c.fields.grpNo) + " and block=" + inQuotes(c.fields.blockNo);
}
}  // namespace

std::string characters(std::string_view text, size_t from, size_t to) {
    if (from < 1 || from > text.size() || to < from) return {};
    return std::string(text.substr(from - 1, to - from + 1));
}

std::string_view lineBody(const AlpineContext& c) {
    std::string_view line = c.fields.workLine;
    if (!line.empty()) line.remove_suffix(1);
    return line;
}

char lineCode(const AlpineContext& c) {
    const std::string_view body = lineBody(c);
    return body.size() >= 2 ? body[1] : '\0';
}

std::string lineTime(const AlpineContext& c) {
    return characters(lineBody(c), 7, 17);
}

bool carriesNoTime(const AlpineContext& c) {
    return lineTime(c).empty();
}

void takeQueuedLine(AlpineContext& c) {
    AlpineFields& f = c.fields;
    f.workLine = c.queue.line(0) + "\r";
    if (c.settings.connection == ConnectionMode::Buffered) f.workLine.erase(0, 2);
    const std::string_view body = lineBody(c);
    f.blockNo = characters(body, 3, 3);
    f.bibNo = characters(body, 4, 6);
    setStatement(c.store.Qtemp, {"select * from timedata where bib=" + inQuotes(f.bibNo) +
                                 " and block=" + inQuotes(f.blockNo)});
    c.store.Qtemp.Open();
    f.grpNo = c.store.Qtemp.FieldByName("grp").AsString();
}

void dropQueuedLine(AlpineContext& c) {
    c.queue.deleteLine(0);
}

bool takeTimedLine(AlpineContext& c, DroppedLines dropped, char& code) {
    takeQueuedLine(c);
    code = lineCode(c);
    const bool drop =
        code == '\0' ? dropped.withoutCode : dropped.codes.find(code) != std::string_view::npos;
    if (drop || carriesNoTime(c)) {
        dropQueuedLine(c);
        return false;
    }
    c.fields.timeText = lineTime(c);
    return true;
}

void setStatement(TQuery& q, const std::vector<std::string>& lines) {
    q.SQL().Clear();
    for (const std::string& line : lines)
        q.SQL().Add(line);
}

void storeTime(AlpineContext& c, std::string_view column, UpdateLines form) {
    const std::string set =
        "update timedata set " + std::string(column) + "=" + inQuotes(c.fields.timeText);
    if (form == UpdateLines::One)
        setStatement(c.store.Qedit, {set + " " + bibInBlock(c)});
    else
        setStatement(c.store.Qedit, {set, bibInBlock(c)});
    c.store.Qedit.ExecSQL();
}

void openRanking(AlpineContext& c, std::string_view column) {
    const std::string col(column);
    setStatement(c.store.Qedit,
                 {"select * from timedata", "where " + col + "<>'' and " + groupAndBlock(c),
                  "order by " + col});
    c.store.Qedit.Open();
}

std::vector<std::string> rankCountStatement(const AlpineContext& c, std::string_view column,
                                            std::string_view group) {
    return {"select count(bib) as cn from timedata",
            "where " + std::string(column) + "<" + inQuotes(c.fields.timeText) +
                " and grp=" + inQuotes(group) + " and block=" + inQuotes(c.fields.blockNo)};
}

std::string openRankCount(TQuery& q) {
    q.Open();
    return std::to_string(q.FieldByName("cn").AsInteger() + 1);
}

std::vector<std::string> gridRun1Statement(const AlpineContext& c, bool withBlock) {
    return {std::string("select bib,time1") + (withBlock ? ",block" : "") +
                " from timedata where time1<>''",
            "and block=" + inQuotes(c.fields.blockNo) + " and grp=" + inQuotes(c.fields.grpNo) +
                " order by time1"};
}

std::vector<std::string> gridTotalStatement(const AlpineContext& c) {
    return {"select bib,time2,totalt from timedata where totalt<>''",
            "and block=" + inQuotes(c.fields.blockNo) + " and grp=" + inQuotes(c.fields.grpNo) +
                " order by totalt"};
}

std::string rankingRow(const AlpineContext& c, BoardRow row, std::string_view bib,
                       std::string_view time) {
    return std::string(1, row.letter()) + std::string(bib) + "     " + c.timeField(time) + "\r";
}

void fillRanking(AlpineContext& c, TQuery& q, std::string_view column, int firstRow, int lastRow,
                 bool skipRowL) {
    AlpineFields& f = c.fields;
    f.rowNo = firstRow;
    while (!q.Eof() && f.rowNo <= lastRow) {
        f.rowBib = q.FieldByName("bib").AsString();
        f.rowTime = q.FieldByName(column).AsString();
        rowOf(f.boardRows, BoardRow(f.rowNo)) =
            rankingRow(c, BoardRow(f.rowNo), f.rowBib, f.rowTime);
        q.Next();
        ++f.rowNo;
        if (skipRowL && BoardRow(f.rowNo) == kRowL) ++f.rowNo;
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

void sendRowsAToJ(AlpineContext& c) {
    PassRows plan;
    plan.separate.blankFrom = 3;
    c.board.sendPassRows(c.fields.boardRows, c.fields.rowNo, plan);
}

void logPassLines(AlpineContext& c) {
    c.board.log(c.fields.logLineA);
    c.board.log(c.fields.logLineB);
    c.board.log(c.fields.logLineC);
}

std::string differenceRow(const AlpineContext& c, BoardRow row) {
    return std::string(1, row.letter()) + "DIF     " + c.timeField(numtotime(c.fields.diffTime)) +
           "\r";
}

}  // namespace qpane::alpine
