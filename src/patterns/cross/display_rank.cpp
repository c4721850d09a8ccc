#include "input/time_values.h"
#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_display.h"
#include "store/query.h"

namespace qpane::cross {

void showRank(CrossContext& c, const PassTexts& t, std::string_view shownTenths) {
    CrossFields& f = c.fields;
    TQuery& Qedit2 = c.store.Qedit2;
    // The rank counts the faster times of the block of the last processed line, the same
    // block as the ranking list below: a stored pass line does not carry its block.
    const std::string shownTime = timefill(std::string(shownTenths) + "0");
    setSql(Qedit2, {"select count(bib) as cn from timedata",
                    "where time1<'" + sqlValue(shownTime) + "' and grp='" + sqlValue(f.grpNo) + "'",
                    "and block='" + sqlValue(f.blockNo) + "'"});
    Qedit2.Open();
    const int64_t rank = Qedit2.FieldByName("cn").AsInteger() + 1;

    setSql(Qedit2, {"select * from timedata",
                    "where grp='" + sqlValue(f.grpNo) + "' and block='" + sqlValue(f.blockNo) +
                        "' and time1<>''",
                    "order by time1"});
    Qedit2.Open();
    fillRankingRows(c, Qedit2, 3, "time1");

    const std::string rankLine = rankRow(copyText(t[0], 2, 3), rank);
    if (!rankLine.empty()) f.boardRows[0] = rankLine;
    f.boardRows[1] = "B        " + c.timeField(copyText(t[0], 10, 11)) + "\r";

    if (c.board.boardPortOpen()) sendRows(c, 1, 10, 100);
    logShownRows(c);
}

}  // namespace qpane::cross
