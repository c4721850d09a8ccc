#include "app/fqpane.h"
#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_recording.h"

namespace qpane::cross {

void showGroupRanking(TFqpane& w) {
    if (w.blockNo == w.shownBlock && w.grpNo == w.shownGrp) {
        rereadGrid(w);
        return;
    }
    w.shownBlock = w.blockNo;
    w.shownGrp = w.grpNo;
    setSql(w.Qtimedp, {"select bib,time1 from timedata where block='" + sqlValue(w.blockNo) + "'",
                       "and grp='" + sqlValue(w.grpNo) + "' and time1<>''", "order by time1"});
    w.Qtimedp.Open();
}

void rereadGrid(TFqpane& w) {
    w.Qtimedp.Close();
    if (w.Qtimedp.SQL().Count() == 0) return;
    w.Qtimedp.Open();
}

}  // namespace qpane::cross
