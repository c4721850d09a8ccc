// CROSS-4: records every pass; the pass display draws bib and rank, the time and the
// ranking. The group is looked up only after the pass row is added, so the display ranks by
// the group of the last processed line.
#include "app/fqpane.h"
#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_recording.h"

namespace qpane {

void TFqpane::syoriC4() {
    while (Memo2.count() >= 1) {
        cross::takeQueuedLine(*this);
        dpscl();
        cross::takePassTime(*this);
        if (cross::isStorablePass(*this, '1')) {
            workLine = cross::storedPassLine(*this);
            cross::setSql(Qedit, {"update timedata set time1='" + sqlValue(timeText) + "'",
                                  "where bib='" + sqlValue(bibNo) + "' and block='" +
                                      sqlValue(blockNo) + "'"});
            Qedit.ExecSQL();

            cross::appendPassRow(*this);

            cross::setSql(Qedit, {"select * from timedata where bib='" + sqlValue(bibNo) + "'",
                                  "and block='" + sqlValue(blockNo) + "'"});
            Qedit.Open();
            grpNo = Qedit.FieldByName("grp").AsString();

            cross::showGroupRanking(*this);
        }
        Memo2.deleteLine(0);
    }
}

}  // namespace qpane
