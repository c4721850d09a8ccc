#include "app/fqpane.h"
#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_display.h"

namespace qpane::cross {

void showRelay(TFqpane& w, const PassTexts& t) {
    // The now line and the difference line go straight to the board and the log; they are
    // not kept among the board rows.
    const std::string nowLine = passRow(w, 1, t[0]);
    w.boardOutput.send(nowLine);
    w.boardOutput.log(nowLine);

    setSql(w.Qtop,
           {"select max(lap) as lapn from timedata where block='" + sqlValue(w.blockNo) + "'",
            "and totalt<>'' and grp='" + sqlValue(w.shownGrp) + "'"});
    w.Qtop.Open();
    const std::string leadingLap = w.Qtop.FieldByName("lapn").AsString();

    setSql(w.Qtop,
           {"select * from timedata where block='" + sqlValue(w.blockNo) + "' and lap='" +
                sqlValue(leadingLap) + "'",
            "and totalt<>'' and grp='" + sqlValue(w.shownGrp) + "' order by lap desc,totaltv"});
    w.Qtop.Open();
    w.topTime = leaderTenths(w, w.Qtop.FieldByName("totalt").AsString());
    w.diffTime = w.nowTime - w.topTime;

    const std::string diffLine = differenceRow(w);
    w.boardOutput.send(diffLine);
    w.boardOutput.log(diffLine);
    w.boardOutput.endLogEntry();

    fillRankingRows(w, w.Qtop, 3, "totalt");
    sendRows(w, 3, 10, 200);
}

}  // namespace qpane::cross
