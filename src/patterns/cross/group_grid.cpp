#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_recording.h"
#include "store/query.h"

namespace qpane::cross {

void showGroupRanking(CrossContext& c) {
    CrossFields& f = c.fields;
    if (f.blockNo == f.shownBlock && f.grpNo == f.shownGrp) {
        rereadGrid(c);
        return;
    }
    f.shownBlock = f.blockNo;
    f.shownGrp = f.grpNo;
    TQuery& Qtimedp = c.store.Qtimedp;
    setSql(Qtimedp, {"select bib,time1 from timedata where block='" + sqlValue(f.blockNo) + "'",
                     "and grp='" + sqlValue(f.grpNo) + "' and time1<>''", "order by time1"});
    Qtimedp.Open();
}

void rereadGrid(CrossContext& c) {
    TQuery& Qtimedp = c.store.Qtimedp;
    Qtimedp.Close();
    if (Qtimedp.SQL().Count() == 0) return;
    Qtimedp.Open();
}

}  // namespace qpane::cross
