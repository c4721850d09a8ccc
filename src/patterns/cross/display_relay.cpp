#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_display.h"
#include "store/query.h"

namespace qpane::cross {

void showRelay(CrossContext& c, const PassTexts& t) {
    CrossFields& f = c.fields;
    TQuery& Qtop = c.store.Qtop;
    // The now line and the difference line go straight to the board and the log; they are
    // not kept among the board rows.
    const std::string nowLine = passRow(c, 1, t[0]);
    c.board.send(nowLine);
    c.board.log(nowLine);

    setSql(Qtop, {"select max(lap) as lapn from timedata where block='" + sqlValue(f.blockNo) + "'",
                  "and totalt<>'' and grp='" + sqlValue(f.shownGrp) + "'"});
    Qtop.Open();
    const std::string leadingLap = Qtop.FieldByName("lapn").AsString();

    setSql(Qtop,
           {"select * from timedata where block='" + sqlValue(f.blockNo) + "' and lap='" +
                sqlValue(leadingLap) + "'",
            "and totalt<>'' and grp='" + sqlValue(f.shownGrp) + "' order by lap desc,totaltv"});
    Qtop.Open();
    f.topTime = leaderTenths(Qtop.FieldByName("totalt").AsString());
    f.diffTime = f.nowTime - f.topTime;

    const std::string diffLine = differenceRow(c);
    c.board.send(diffLine);
    c.board.log(diffLine);
    c.board.endLogEntry();

    fillRankingRows(c, Qtop, 3, "totalt");
    sendRows(c, 3, 10, 200);
}

}  // namespace qpane::cross
