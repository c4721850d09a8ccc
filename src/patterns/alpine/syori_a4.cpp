// ALPINE-4: row A the bib and rank of the competitor just timed, row B that competitor's
// time, row C the difference to the leader, rows D to J the seven best of the group and
// block.
#include "board/board_lines.h"
#include "input/line_list.h"
#include "input/time_values.h"
#include "patterns/alpine/alpine_steps.h"
#include "store/query.h"

namespace qpane::alpine {

namespace {
constexpr int kLastRow = 10;  // row J
}  // namespace

void syoriA4(AlpineContext& c) {
    AlpineFields& f = c.fields;
    TQuery& Qedit = c.store.Qedit;
    TQuery& Qtimedp = c.store.Qtimedp;
    f.totalDone = false;
    f.logLineA.clear();
    resetBoardRows(f.boardRows, f.rowNo);

    while (c.queue.count() >= 1) {
        char code;
        if (!takeTimedLine(c, {"SA", true}, code)) continue;

        if (code == 'T') {
            storeTime(c, "totalt", UpdateLines::One);
            openRanking(c, "totalt");
            if (Qedit.HasOnlyOneRecord()) c.board.sendFirstResultCommand();
            f.topTime = static_cast<int32_t>(timetonum(Qedit.FieldByName("totalt").AsString()));
            f.diffTime = static_cast<int32_t>(timetonum(f.timeText) - f.topTime);
            f.logLineC = differenceRow(c, kRowC);
            rowOf(f.boardRows, kRowC) = differenceRow(c, kRowC);
            fillRanking(c, Qedit, "totalt", 4, kLastRow, false);
            setStatement(Qedit, rankCountStatement(c, "totalt", f.grpNo));
            f.rankText = openRankCount(Qedit);
            f.totalDone = true;
            f.rowABib = f.bibNo;
            f.nowTime = static_cast<int32_t>(timetonum(f.timeText));
            f.logLineB = "B        " + c.timeField(lineTime(c)) + "\r";
            rowOf(f.boardRows, kRowB) = f.logLineB;
        } else if (code == '1') {
            if (f.firstCode.empty()) f.firstCode = "1";
            // A total earlier in the pass suppresses the run-1 time, its storing included.
            if (!f.totalDone) {
                storeTime(c, "time1", UpdateLines::Two);
                openRanking(c, "time1");
                if (Qedit.HasOnlyOneRecord()) c.board.sendFirstResultCommand();
                f.topTime = static_cast<int32_t>(timetonum(Qedit.FieldByName("time1").AsString()));
                f.diffTime = static_cast<int32_t>(timetonum(f.timeText) - f.topTime);
                f.logLineC = differenceRow(c, kRowC);
                rowOf(f.boardRows, kRowC) = f.logLineC;
                fillRanking(c, Qedit, "time1", 4, kLastRow, false);
                setStatement(Qedit, rankCountStatement(c, "time1", f.grpNo));
                f.rankText = openRankCount(Qedit);
                f.logLineB = "B        " + c.timeField(lineTime(c)) + "\r";
                rowOf(f.boardRows, kRowB) = f.logLineB;
                f.rowABib = f.bibNo;
                f.nowTime = static_cast<int32_t>(timetonum(f.timeText));
            }
            setStatement(Qtimedp, gridRun1Statement(c, false));
            if (f.firstCode == "1") Qtimedp.Open();
        } else if (code == '2') {
            f.firstCode = "2";
            storeTime(c, "time2", UpdateLines::Two);
            setStatement(Qtimedp, gridTotalStatement(c));
            Qtimedp.Open();
        }

        f.rankText = rankForm(f.rankText);
        f.logLineA = "A" + f.rowABib + "            " + f.rankText + "\r";
        rowOf(f.boardRows, kRowA) = f.logLineA;
        dropQueuedLine(c);
    }

    if (!rowOf(f.boardRows, kRowA).empty()) {
        sendRowsAToJ(c);
        logPassLines(c);
    }

    c.board.endLogEntry();
    f.bufferBusy = false;
}

}  // namespace qpane::alpine
