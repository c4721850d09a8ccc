// CROSS-1: records every pass and queues its pass row; the pass display draws the board.
#include "app/fqpane.h"
#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_recording.h"

namespace qpane {

void TFqpane::syoriC1() {
    dpscl();
    while (Memo2.count() >= 1) {
        cross::takeQueuedLine(*this);
        cross::takePassTime(*this);
        if (cross::isStorablePass(*this, '1')) {
            cross::setSql(Qtemp, {"select * from timedata where bib='" + sqlValue(bibNo) +
                                  "' and block='" + sqlValue(blockNo) + "'"});
            Qtemp.Open();
            grpNo = Qtemp.FieldByName("grp").AsString();

            workLine = cross::storedPassLine(*this);
            cross::setSql(Qedit, {"update timedata set time1='" + sqlValue(timeText) +
                                      "',totalt='" + sqlValue(timeText) + "'",
                                  "where bib='" + sqlValue(bibNo) + "' and block='" +
                                      sqlValue(blockNo) + "'"});
            Qedit.ExecSQL();

            cross::appendPassRow(*this);
            cross::showGroupRanking(*this);
            boardOutput.log(workLine + "*");
        }
        // Only now: a line whose statements failed is taken again by the next cycle.
        Memo2.deleteLine(0);
    }
    cross::rereadGrid(*this);
}

}  // namespace qpane
