// CROSS-3: records every pass; the pass display draws the pass, its difference to the
// leader and the ranking. Nothing is sent or logged here, and the board rows stay as they
// are.
#include "app/fqpane.h"
#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_recording.h"

namespace qpane {

void TFqpane::syoriC3() {
    while (Memo2.count() >= 1) {
        cross::takeQueuedLine(*this);
        cross::takePassTime(*this);
        if (cross::isStorablePass(*this, '1')) {
            cross::setSql(Qedit, {"select * from timedata where bib='" + sqlValue(bibNo) + "'",
                                  "and block='" + sqlValue(blockNo) + "'"});
            Qedit.Open();
            grpNo = Qedit.FieldByName("grp").AsString();

            workLine = cross::storedPassLine(*this);
            cross::setSql(Qedit, {"update timedata set time1='" + sqlValue(timeText) + "'",
                                  "where bib='" + sqlValue(bibNo) + "' and block='" +
                                      sqlValue(blockNo) + "'"});
            Qedit.ExecSQL();

            cross::appendPassRow(*this);
            cross::showGroupRanking(*this);
        }
        Memo2.deleteLine(0);
    }
}

}  // namespace qpane
