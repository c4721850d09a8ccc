// CROSS-4: records every pass; the pass display draws bib and rank, the time and the
// ranking. The group is looked up only after the pass row is added, so the display ranks by
// the group of the last processed line.
#include "board/board_lines.h"
#include "input/line_list.h"
#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_recording.h"
#include "store/query.h"

namespace qpane::cross {

void syoriC4(CrossContext& c) {
    CrossFields& f = c.fields;
    TQuery& Qedit = c.store.Qedit;
    while (c.queue.count() >= 1) {
        takeQueuedLine(c);
        resetBoardRows(f.boardRows, f.rowNo);
        takePassTime(c);
        if (isStorablePass(c, '1')) {
            f.workLine = storedPassLine(c);
            setSql(Qedit, {"update timedata set time1='" + sqlValue(f.timeText) + "'",
                           "where bib='" + sqlValue(f.bibNo) + "' and block='" +
                               sqlValue(f.blockNo) + "'"});
            storePass(c);

            setSql(Qedit, {"select * from timedata where bib='" + sqlValue(f.bibNo) + "'",
                           "and block='" + sqlValue(f.blockNo) + "'"});
            Qedit.Open();
            f.grpNo = Qedit.FieldByName("grp").AsString();

            showGroupRanking(c);
        }
        c.queue.deleteLine(0);
    }
}

}  // namespace qpane::cross
