// ALPINE-1: row A the competitor just timed, row B the total time, rows C to K and M the ten
// best of the group and block. The board gets the rows once per pass over the queue.
#include "board/board_lines.h"
#include "input/line_list.h"
#include "input/time_values.h"
#include "patterns/alpine/alpine_steps.h"
#include "store/query.h"

namespace qpane::alpine {

namespace {
constexpr const char* kBlankRowB = "B                   \r";
constexpr int kLastRow = 13;  // row M
}  // namespace

void syoriA1(AlpineContext& c) {
    AlpineFields& f = c.fields;
    TQuery& Qedit = c.store.Qedit;
    TQuery& Qtimedp = c.store.Qtimedp;
    f.totalDone = false;
    f.logLineA.clear();
    f.logLineC.clear();
    resetBoardRows(f.boardRows, f.rowNo);  // rows K and M keep what they held

    while (c.queue.count() >= 1) {
        char code;
        if (!takeTimedLine(c, {"S ", false}, code)) continue;

        if (code == 'T') {
            rowOf(f.boardRows, kRowB) = "B        " + c.timeField(lineTime(c)) + "\r";
            if (f.firstCode.empty()) f.firstCode = "T";
            storeTime(c, "totalt", UpdateLines::Two);
            openRanking(c, "totalt");
            f.logLineC = rankingRow(c, kRowC, Qedit.FieldByName("bib").AsString(),
                                    Qedit.FieldByName("totalt").AsString());
            fillRanking(c, Qedit, "totalt", 3, kLastRow, true);
            f.logLineB = "B        " + c.timeField(lineTime(c)) + "\r";
            f.totalDone = true;
        } else if (code == '1') {
            if (f.firstCode.empty()) f.firstCode = "1";
            if (!f.totalDone) {
                f.logLineB = kBlankRowB;
                rowOf(f.boardRows, kRowB) = f.logLineB;
            }
            f.logLineA = rankingRow(c, kRowA, f.bibNo, lineTime(c));
            rowOf(f.boardRows, kRowA) = f.logLineA;
            storeTime(c, "time1", UpdateLines::Two);
            openRanking(c, "time1");
            if (Qedit.HasOnlyOneRecord()) c.board.sendFirstResultCommand();
            if (f.logLineC.empty())
                f.logLineC = rankingRow(c, kRowC, Qedit.FieldByName("bib").AsString(),
                                        Qedit.FieldByName("time1").AsString());
            fillRanking(c, Qedit, "time1", 3, kLastRow, true);
            setStatement(Qtimedp, gridRun1Statement(c, true));
            // A total earlier in the pass keeps the grid on what it showed.
            if (f.firstCode == "1") Qtimedp.Open();
        } else if (code == '2') {
            f.logLineA = rankingRow(c, kRowA, f.bibNo, lineTime(c));
            rowOf(f.boardRows, kRowA) = f.logLineA;
            storeTime(c, "time2", UpdateLines::Two);
            setStatement(Qedit, {"select * from timedata",
                                 "where totalt<>'' and grp='" + sqlValue(f.grpNo) +
                                     "' and block='" + sqlValue(f.blockNo) + "'",
                                 "and time2<>''", "order by totalt"});
            Qedit.Open();
            if (Qedit.HasOnlyOneRecord()) c.board.sendFirstResultCommand();
            // The leader's run-1 time, not the total that the ranking is ordered by.
            if (f.logLineC.empty())
                f.logLineC = rankingRow(c, kRowC, Qedit.FieldByName("bib").AsString(),
                                        Qedit.FieldByName("time1").AsString());
            for (int row = kRowC.index(); row <= kLastRow; ++row)
                rowOf(f.boardRows, BoardRow(row)).clear();
            fillRanking(c, Qedit, "totalt", 3, kLastRow, true);
            setStatement(Qtimedp, gridTotalStatement(c));
            Qtimedp.Open();
        }
        dropQueuedLine(c);
    }

    if (!f.logLineA.empty()) {
        // Rows A to M; on the separate port every row is logged and only those with
        // something after the letter are sent.
        PassRows plan;
        plan.last = kLastRow;
        plan.skipRowL = true;
        plan.separate.blankFrom = 2;
        plan.separate.log = RowLog::EveryRow;
        c.board.sendPassRows(f.boardRows, f.rowNo, plan);
        logPassLines(c);
        c.board.endLogEntry();
    }

    f.bufferBusy = false;
    f.firstCode.clear();
}

}  // namespace qpane::alpine
