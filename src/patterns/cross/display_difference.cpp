#include "input/time_values.h"
#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_display.h"
#include "store/query.h"

namespace qpane::cross {

void showDifference(CrossContext& c, const PassTexts& t) {
    CrossFields& f = c.fields;
    TQuery& Qtop = c.store.Qtop;
    f.boardRows[0] = passRow(c, 1, t[0]);

    setSql(Qtop, {"select * from timedata where block='" + sqlValue(f.blockNo) + "'",
                  "and grp='" + sqlValue(f.grpNo) + "' and time1<>'' order by time1"});
    Qtop.Open();
    // The leader at the precision that nowTime was taken at; no leader counts as 0.
    const std::string leaderTime = Qtop.FieldByName("time1").AsString();
    f.topTime = c.settings.precision == Precision::Tenths
                    ? leaderTenths(leaderTime)
                    : static_cast<int32_t>(timetonum(trimControl(leaderTime)));
    f.diffTime = f.nowTime - f.topTime;
    f.boardRows[1] = differenceRow(c);

    fillRankingRows(c, Qtop, 3, "time1");
    sendRows(c, 1, 10, 200);
    logShownRows(c);
}

}  // namespace qpane::cross
