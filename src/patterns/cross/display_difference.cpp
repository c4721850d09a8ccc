#include "app/fqpane.h"
#include "input/time_values.h"
#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_display.h"

namespace qpane::cross {

void showDifference(TFqpane& w, const PassTexts& t) {
    w.boardRows[0] = passRow(w, 1, t[0]);

    setSql(w.Qtop, {"select * from timedata where block='" + sqlValue(w.blockNo) + "'",
                    "and grp='" + sqlValue(w.grpNo) + "' and time1<>'' order by time1"});
    w.Qtop.Open();
    // The leader at the precision that nowTime was taken at; no leader counts as 0.
    const std::string leaderTime = w.Qtop.FieldByName("time1").AsString();
    w.topTime = w.RGpre.ItemIndex() == 0
                    ? leaderTenths(w, leaderTime)
                    : static_cast<int32_t>(w.timetonum(trimControl(leaderTime)));
    w.diffTime = w.nowTime - w.topTime;
    w.boardRows[1] = differenceRow(w);

    fillRankingRows(w, w.Qtop, 3, "time1");
    sendRows(w, 1, 10, 200);
    logShownRows(w);
}

}  // namespace qpane::cross
