#include "app/fqpane.h"
#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_display.h"

namespace qpane::cross {

void showRank(TFqpane& w, const PassTexts& t, std::string_view shownTenths) {
    // The rank counts the faster times of the block of the last processed line, the same
    // block as the ranking list below: a stored pass line does not carry its block.
    const std::string shownTime = w.timefill(std::string(shownTenths) + "0");
    setSql(w.Qedit2,
           {"select count(bib) as cn from timedata",
            "where time1<'" + sqlValue(shownTime) + "' and grp='" + sqlValue(w.grpNo) + "'",
            "and block='" + sqlValue(w.blockNo) + "'"});
    w.Qedit2.Open();
    const int64_t rank = w.Qedit2.FieldByName("cn").AsInteger() + 1;

    setSql(w.Qedit2, {"select * from timedata",
                      "where grp='" + sqlValue(w.grpNo) + "' and block='" + sqlValue(w.blockNo) +
                          "' and time1<>''",
                      "order by time1"});
    w.Qedit2.Open();
    fillRankingRows(w, w.Qedit2, 3, "time1");

    const std::string rankLine = rankRow(copyText(t[0], 2, 3), rank);
    if (!rankLine.empty()) w.boardRows[0] = rankLine;
    w.boardRows[1] = "B        " + w.dptime(copyText(t[0], 10, 11)) + "\r";

    if (w.boardOutput.boardPortOpen()) sendRows(w, 1, 10, 100);
    logShownRows(w);
}

}  // namespace qpane::cross
