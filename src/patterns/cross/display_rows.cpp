#include "app/fqpane.h"
#include "input/time_values.h"
#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_display.h"

namespace qpane::cross {

std::string arrangePrecision(const TFqpane& w, std::string_view pass) {
    if (pass.empty()) return {};
    const std::string arranged = copyText(pass, 1, 9) + w.dpprec(copyText(pass, 10, 11));
    return std::string(trimControl(arranged));
}

std::string rowLetter(int row) {
    return std::string(1, char(64 + row));
}

std::string passRow(const TFqpane& w, int row, std::string_view pass) {
    return rowLetter(row) + copyText(pass, 2, 8) + w.dptime(copyText(pass, 10, 11)) + "\r";
}

void fillRankingRows(TFqpane& w, TQuery& query, int firstRow, std::string_view timeColumn) {
    for (w.rowNo = firstRow; !query.Eof() && w.rowNo < 11; ++w.rowNo) {
        w.rankBib = query.FieldByName("bib").AsString();
        w.rankTime = query.FieldByName(timeColumn).AsString();
        w.boardRows[w.rowNo - 1] =
            rowLetter(w.rowNo) + w.rankBib + "     " + w.dptime(w.dpprec(w.rankTime)) + "\r";
        query.Next();
    }
}

std::string differenceRow(const TFqpane& w) {
    if (w.diffTime < 100)
        return "BDIF             .0" + std::to_string(w.diffTime / 10) + "          .      : : ." +
               "\r";
    return "BDIF     " + w.dptime(w.dpprec(w.numtotime(w.diffTime))) + "\r";
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

void sendRows(TFqpane& w, int first, int last, int pauseMs) {
    w.boardOutput.sendRows(w.boardRows, w.rowNo, first, last, pauseMs);
}

int32_t leaderTenths(const TFqpane& w, std::string_view time) {
    const std::string tenths = copyText(time, 1, 10) + "0";
    return static_cast<int32_t>(w.timetonum(trimControl(tenths)));
}

void logShownRows(TFqpane& w) {
    for (int row = 1; row <= 3; ++row)
        w.boardOutput.log(w.boardRows[row - 1]);
    w.boardOutput.endLogEntry();
}

}  // namespace qpane::cross
