// CROSS-3: records every pass; the pass display draws the pass, its difference to the
// leader and the ranking. Nothing is sent or logged here, and the board rows stay as they
// are.
#include "input/line_list.h"
#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_recording.h"
#include "store/query.h"

namespace qpane::cross {

void syoriC3(CrossContext& c) {
    CrossFields& f = c.fields;
    TQuery& Qedit = c.store.Qedit;
    while (c.queue.count() >= 1) {
        takeQueuedLine(c);
        takePassTime(c);
        if (isStorablePass(c, '1')) {
            setSql(Qedit, {"select * from timedata where bib='" + sqlValue(f.bibNo) + "'",
                           "and block='" + sqlValue(f.blockNo) + "'"});
            Qedit.Open();
            f.grpNo = Qedit.FieldByName("grp").AsString();

            f.workLine = storedPassLine(c);
            setSql(Qedit, {"update timedata set time1='" + sqlValue(f.timeText) + "'",
                           "where bib='" + sqlValue(f.bibNo) + "' and block='" +
                               sqlValue(f.blockNo) + "'"});
            storePass(c);
            showGroupRanking(c);
        }
        c.queue.deleteLine(0);
    }
}

}  // namespace qpane::cross
