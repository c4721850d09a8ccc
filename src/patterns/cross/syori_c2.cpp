// CROSS-2: records every pass like CROSS-1 and sends the group leader's row C itself.
#include "board/board_lines.h"
#include "input/line_list.h"
#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_recording.h"
#include "store/query.h"

namespace qpane::cross {

namespace {

// Row C: the fastest time1 of the block and group. A group that has no time yet (for
// example the runners of a block whose groups were never assigned, whose grp holds no
// value) has no leader: its row C is blank rather than a made-up "0.0" time without a bib.
std::string leaderLine(CrossContext& c) {
    TQuery& Qedit = c.store.Qedit;
    if (Qedit.RecordCount() == 0) return blankBoardRow(kRowC);
    const std::string line = "C" + Qedit.FieldByName("bib").AsString() + "     " +
                             c.timeField(c.arranged(Qedit.FieldByName("time1").AsString())) + "\r";
    return copyText(line, 1, 9) + c.timeField(copyText(line, 10, 11)) + "\r";
}

}  // namespace

void syoriC2(CrossContext& c) {
    CrossFields& f = c.fields;
    TQuery& Qedit = c.store.Qedit;
    resetBoardRows(f.boardRows, f.rowNo);
    while (c.queue.count() >= 1) {
        takeQueuedLine(c);
        takePassTime(c);
        if (isStorablePass(c, '1')) {
            f.workLine = storedPassLine(c);
            setSql(Qedit, {"update timedata set time1='" + sqlValue(f.timeText) + "'",
                           "where bib='" + sqlValue(f.bibNo) + "' and block='" +
                               sqlValue(f.blockNo) + "'"});
            Qedit.ExecSQL();

            setSql(Qedit, {"select * from timedata where bib='" + sqlValue(f.bibNo) + "'",
                           "and block='" + sqlValue(f.blockNo) + "'"});
            Qedit.Open();
            f.grpNo = Qedit.FieldByName("grp").AsString();

            setSql(Qedit, {"select * from timedata where block='" + sqlValue(f.blockNo) + "'",
                           "and grp='" + sqlValue(f.grpNo) + "' and time1<>'' order by time1"});
            Qedit.Open();
            f.topLine = leaderLine(c);

            appendPassRow(c);
            showGroupRanking(c);
        }
        c.board.log(f.workLine);
        if (charAt(f.workLine, 1) == '1') c.board.log(f.workLine + "*");
        c.queue.deleteLine(0);
    }
    // Once per call, also without a pass: the board gets the last leader again.
    if (!f.topLine.empty()) c.board.send(f.topLine);
    rereadGrid(c);
}

}  // namespace qpane::cross
