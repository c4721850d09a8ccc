// CROSS-1: records every pass and queues its pass row; the pass display draws the board.
#include "board/board_lines.h"
#include "input/line_list.h"
#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_recording.h"
#include "store/query.h"

namespace qpane::cross {

void syoriC1(CrossContext& c) {
    CrossFields& f = c.fields;
    TQuery& Qtemp = c.store.Qtemp;
    TQuery& Qedit = c.store.Qedit;
    resetBoardRows(f.boardRows, f.rowNo);
    while (c.queue.count() >= 1) {
        takeQueuedLine(c);
        takePassTime(c);
        if (isStorablePass(c, '1')) {
            setSql(Qtemp, {"select * from timedata where bib='" + sqlValue(f.bibNo) +
                           "' and block='" + sqlValue(f.blockNo) + "'"});
            Qtemp.Open();
            f.grpNo = Qtemp.FieldByName("grp").AsString();

            f.workLine = storedPassLine(c);
            setSql(Qedit, {"update timedata set time1='" + sqlValue(f.timeText) + "',totalt='" +
                               sqlValue(f.timeText) + "'",
                           "where bib='" + sqlValue(f.bibNo) + "' and block='" +
                               sqlValue(f.blockNo) + "'"});
            storePass(c);
            showGroupRanking(c);
            c.board.log(f.workLine + "*");
        }
        // Only now: a line whose statements failed is taken again by the next cycle.
        c.queue.deleteLine(0);
    }
    rereadGrid(c);
}

}  // namespace qpane::cross
