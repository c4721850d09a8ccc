#include "input/time_values.h"
#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_display.h"
#include "store/query.h"

namespace qpane::cross {

std::string arrangePrecision(const CrossContext& c, std::string_view pass) {
    if (pass.empty()) return {};
    const std::string arranged = copyText(pass, 1, 9) + c.arranged(copyText(pass, 10, 11));
    return std::string(trimControl(arranged));
}

std::string rowLetter(int row) {
    return std::string(1, char(64 + row));
}

std::string passRow(const CrossContext& c, int row, std::string_view pass) {
    return rowLetter(row) + copyText(pass, 2, 8) + c.timeField(copyText(pass, 10, 11)) + "\r";
}

void fillRankingRows(CrossContext& c, TQuery& query, int firstRow, std::string_view timeColumn) {
    CrossFields& f = c.fields;
    for (f.rowNo = firstRow; !query.Eof() && f.rowNo < 11; ++f.rowNo) {
        f.rankBib = query.FieldByName("bib").AsString();
        f.rankTime = query.FieldByName(timeColumn).AsString();
        f.boardRows[f.rowNo - 1] =
            rowLetter(f.rowNo) + f.rankBib + "     " + c.timeField(c.arranged(f.rankTime)) + "\r";
        query.Next();
    }
}

std::string differenceRow(const CrossContext& c) {
    const int32_t diffTime = c.fields.diffTime;
    if (diffTime < 100)
        return "BDIF             .0" + std::to_string(diffTime / 10) + "          .      : : ." +
               "\r";
    return "BDIF     " + c.timeField(c.arranged(numtotime(diffTime))) + "\r";
}

std::string rankRow(std::string_view bib, int64_t rank) {
    const std::string r = std::to_string(rank);
    const std::string head = "A" + std::string(bib);
    if (rank >= 100 && rank <= 999)
        return head + std::string(12, ' ') + r.substr(0, 1) + ":" + r.substr(1, 2) + " \r";
    if (rank >= 10 && rank <= 99) return head + std::string(14, ' ') + r + " \r";
    if (rank < 10) return head + std::string(15, ' ') + r + " \r";
    return {};
}

void sendRows(CrossContext& c, int first, int last, int pauseMs) {
    c.board.sendRows(c.fields.boardRows, c.fields.rowNo, first, last, pauseMs);
}

int32_t leaderTenths(std::string_view time) {
    const std::string tenths = copyText(time, 1, 10) + "0";
    return static_cast<int32_t>(timetonum(trimControl(tenths)));
}

void logShownRows(CrossContext& c) {
    for (int row = 1; row <= 3; ++row)
        c.board.log(c.fields.boardRows[row - 1]);
    c.board.endLogEntry();
}

}  // namespace qpane::cross
