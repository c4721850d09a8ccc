// ALPINE-5: row A the bib and time of the competitor just timed, row B the difference to the
// leader, rows C to J the eight best of the group and block, no rank number.
#include "board/board_lines.h"
#include "input/line_list.h"
#include "input/time_values.h"
#include "patterns/alpine/alpine_steps.h"
#include "store/query.h"

namespace qpane::alpine {

namespace {
constexpr int kLastRow = 10;  // row J
}  // namespace

void syoriA5(AlpineContext& c) {
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
            f.logLineC = rankingRow(c, kRowC, Qedit.FieldByName("bib").AsString(),
                                    Qedit.FieldByName("totalt").AsString());
            f.topTime = static_cast<int32_t>(timetonum(Qedit.FieldByName("totalt").AsString()));
            fillRanking(c, Qedit, "totalt", 3, kLastRow, false);
            f.diffTime = static_cast<int32_t>(timetonum(f.timeText) - f.topTime);
            f.logLineB = differenceRow(c, kRowB);
            rowOf(f.boardRows, kRowB) = f.logLineB;
            f.totalDone = true;
            f.rowABib = f.bibNo;
            f.nowTime = static_cast<int32_t>(timetonum(f.timeText));
            f.logLineA = rankingRow(c, kRowA, f.rowABib, lineTime(c));
            rowOf(f.boardRows, kRowA) = f.logLineA;
        } else if (code == '1') {
            if (f.firstCode.empty()) f.firstCode = "1";
            // A total earlier in the pass suppresses the run-1 time, its storing included.
            if (!f.totalDone) {
                storeTime(c, "time1", UpdateLines::Two);
                openRanking(c, "time1");
                if (Qedit.HasOnlyOneRecord()) c.board.sendFirstResultCommand();
                f.logLineC = rankingRow(c, kRowC, Qedit.FieldByName("bib").AsString(),
                                        Qedit.FieldByName("time1").AsString());
                f.topTime = static_cast<int32_t>(timetonum(Qedit.FieldByName("time1").AsString()));
                fillRanking(c, Qedit, "time1", 3, kLastRow, false);
                f.diffTime = static_cast<int32_t>(timetonum(f.timeText) - f.topTime);
                f.logLineB = differenceRow(c, kRowB);
                rowOf(f.boardRows, kRowB) = f.logLineB;
                f.rowABib = f.bibNo;
                f.logLineA = rankingRow(c, kRowA, f.rowABib, lineTime(c));
                rowOf(f.boardRows, kRowA) = f.logLineA;
                f.nowTime = static_cast<int32_t>(timetonum(f.timeText));
            }
            setStatement(Qtimedp, gridRun1Statement(c, false));
            if (f.firstCode == "1") Qtimedp.Open();
        } else if (code == '2') {
            f.firstCode = "2";
            storeTime(c, "time2", UpdateLines::Two);
            setStatement(Qtimedp, gridTotalStatement(c));
            c.window.setEdit1Text(Qtimedp.SQL().TextCRLF());
            Qtimedp.Open();
        }
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
