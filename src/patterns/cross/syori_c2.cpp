// CROSS-2: records every pass like CROSS-1 and sends the group leader's row C itself.
#include "app/fqpane.h"
#include "board/board_lines.h"
#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_recording.h"

namespace qpane {

namespace {

// Row C: the fastest time1 of the block and group. A group that has no time yet (for
// example the runners of a block whose groups were never assigned, whose grp holds no
// value) has no leader: its row C is blank rather than a made-up "0.0" time without a bib.
std::string leaderLine(TFqpane& w) {
    if (w.Qedit.RecordCount() == 0) return blankBoardRow(BoardRow(3));
    const std::string line = "C" + w.Qedit.FieldByName("bib").AsString() + "     " +
                             w.dptime(w.dpprec(w.Qedit.FieldByName("time1").AsString())) + "\r";
    return cross::copyText(line, 1, 9) + w.dptime(cross::copyText(line, 10, 11)) + "\r";
}

}  // namespace

void TFqpane::syoriC2() {
    dpscl();
    while (Memo2.count() >= 1) {
        cross::takeQueuedLine(*this);
        cross::takePassTime(*this);
        if (cross::isStorablePass(*this, '1')) {
            workLine = cross::storedPassLine(*this);
            cross::setSql(Qedit, {"update timedata set time1='" + sqlValue(timeText) + "'",
                                  "where bib='" + sqlValue(bibNo) + "' and block='" +
                                      sqlValue(blockNo) + "'"});
            Qedit.ExecSQL();

            cross::setSql(Qedit, {"select * from timedata where bib='" + sqlValue(bibNo) + "'",
                                  "and block='" + sqlValue(blockNo) + "'"});
            Qedit.Open();
            grpNo = Qedit.FieldByName("grp").AsString();

            cross::setSql(Qedit,
                          {"select * from timedata where block='" + sqlValue(blockNo) + "'",
                           "and grp='" + sqlValue(grpNo) + "' and time1<>'' order by time1"});
            Qedit.Open();
            topLine = leaderLine(*this);

            cross::appendPassRow(*this);
            cross::showGroupRanking(*this);
        }
        boardOutput.log(workLine);
        if (cross::charAt(workLine, 1) == '1') boardOutput.log(workLine + "*");
        Memo2.deleteLine(0);
    }
    // Once per call, also without a pass: the board gets the last leader again.
    if (!topLine.empty()) boardOutput.send(topLine);
    cross::rereadGrid(*this);
}

}  // namespace qpane
