// ALPINE-3: row A the bib and rank of the competitor just timed, row B that competitor's
// time, rows C to J the eight best of the group and block.
#include "board/board_lines.h"
#include "input/line_list.h"
#include "input/time_values.h"
#include "patterns/alpine/alpine_steps.h"
#include "store/query.h"

namespace qpane::alpine {

namespace {
// Codes that this pattern drops; a space is not among them.
constexpr std::string_view kDroppedCodes = "SABFGHIJKLMN";
constexpr int kLastRow = 10;  // row J
}  // namespace

void syoriA3(AlpineContext& c) {
    AlpineFields& f = c.fields;
    TQuery& Qedit = c.store.Qedit;
    TQuery& Qtimedp = c.store.Qtimedp;
    f.totalDone = false;
    resetBoardRows(f.boardRows, f.rowNo);

    while (c.queue.count() >= 1) {
        char code;
        if (!takeTimedLine(c, {kDroppedCodes, true}, code)) continue;

        setStatement(Qedit, {"select grp from timedata where bib='" + sqlValue(f.bibNo) +
                             "' and block='" + sqlValue(f.blockNo) + "'"});
        Qedit.Open();
        f.rankGrp = Qedit.RecordCount() >= 1 ? Qedit.FieldByName("grp").AsString() : "0";

        if (code == 'T') {
            storeTime(c, "totalt", UpdateLines::One);
            openRanking(c, "totalt");
            fillRanking(c, Qedit, "totalt", 3, kLastRow, false);
            setStatement(Qedit, rankCountStatement(c, "totalt", f.rankGrp));
            c.window.setEdit3Text(Qedit.SQL().TextCRLF());
            f.rankText = openRankCount(Qedit);
            f.totalDone = true;
            f.rowABib = f.bibNo;
            rowOf(f.boardRows, kRowB) = "B        " + c.timeField(lineTime(c)) + "\r";
        } else if (code == '1') {
            if (f.firstCode.empty()) f.firstCode = "1";
            // A total earlier in the pass suppresses the run-1 time, its storing included.
            if (!f.totalDone) {
                storeTime(c, "time1", UpdateLines::Two);
                openRanking(c, "time1");
                if (Qedit.HasOnlyOneRecord()) c.board.sendFirstResultCommand();
                fillRanking(c, Qedit, "time1", 3, kLastRow, false);
                setStatement(Qedit, rankCountStatement(c, "time1", f.rankGrp));
                f.rankText = openRankCount(Qedit);
                rowOf(f.boardRows, kRowB) = "B        " + c.timeField(lineTime(c)) + "\r";
                f.rowABib = f.bibNo;
            }
            setStatement(Qtimedp, gridRun1Statement(c, false));
            c.window.setEdit3Text(Qtimedp.SQL().TextCRLF());
            if (f.firstCode == "1") Qtimedp.Open();
        } else if (code == '2') {
            f.firstCode = "2";
            storeTime(c, "time2", UpdateLines::Two);
            setStatement(Qtimedp, gridTotalStatement(c));
            Qtimedp.Open();
            if (Qtimedp.HasOnlyOneRecord()) c.board.sendFirstResultCommand();
        }

        f.rankText = rankForm(f.rankText);
        rowOf(f.boardRows, kRowA) = "A" + f.rowABib + "         P L" + f.rankText + "\r";
        dropQueuedLine(c);
    }

    if (!rowOf(f.boardRows, kRowA).empty()) {
        // Each row sent is logged with the port it went to. On the shared port a dropped "A"
        // line at the end of the pass holds the board back.
        PassRows plan;
        plan.last = kLastRow;
        plan.shared.log = plan.separate.log = RowLog::SentRows;
        plan.shared.logSuffix = "/1";
        plan.separate.logSuffix = "/2";
        plan.separate.blankFrom = 3;
        if (f.workLine.compare(0, 2, "CA") == 0) plan.shared.rows = PortRowRule::Rows::CountedOnly;
        c.board.sendPassRows(f.boardRows, f.rowNo, plan);
        c.board.endLogEntry();
    }

    f.bufferBusy = false;
}

}  // namespace qpane::alpine
