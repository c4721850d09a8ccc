// ALPINE-1: row A the competitor just timed, row B the total time, rows C to K and M the ten
// best of the group and block. The board gets the rows once per pass over the queue.
#include "app/fqpane.h"
#include "patterns/alpine/alpine_steps.h"

namespace qpane {

using namespace alpine;

namespace {
constexpr const char* kBlankRowB = "B                   \r";
constexpr int kLastRow = 13;  // row M
constexpr int kRowL = 12;
}  // namespace

void TFqpane::syoriA1() {
    totalDone = false;
    logLineA.clear();
    logLineC.clear();
    dpscl();  // rows K and M keep what they held

    while (Memo2.count() >= 1) {
        char c;
        if (!takeTimedLine(*this, {"S ", false}, c)) continue;

        if (c == 'T') {
            boardRows[1] = "B        " + dptime(lineTime(*this)) + "\r";
            if (firstCode.empty()) firstCode = "T";
            storeTime(*this, "totalt", UpdateLines::Two);
            openRanking(*this, "totalt");
            logLineC = rankingRow(*this, 3, Qedit.FieldByName("bib").AsString(),
                                  Qedit.FieldByName("totalt").AsString());
            fillRanking(*this, Qedit, "totalt", 3, kLastRow, true);
            logLineB = "B        " + dptime(lineTime(*this)) + "\r";
            totalDone = true;
        } else if (c == '1') {
            if (firstCode.empty()) firstCode = "1";
            if (!totalDone) {
                logLineB = kBlankRowB;
                boardRows[1] = logLineB;
            }
            logLineA = rankingRow(*this, 1, bibNo, lineTime(*this));
            boardRows[0] = logLineA;
            storeTime(*this, "time1", UpdateLines::Two);
            openRanking(*this, "time1");
            if (Qedit.HasOnlyOneRecord()) sendFirstResultCommand(*this);
            if (logLineC.empty())
                logLineC = rankingRow(*this, 3, Qedit.FieldByName("bib").AsString(),
                                      Qedit.FieldByName("time1").AsString());
            fillRanking(*this, Qedit, "time1", 3, kLastRow, true);
            setStatement(Qtimedp, gridRun1Statement(*this, true));
            // A total earlier in the pass keeps the grid on what it showed.
            if (firstCode == "1") Qtimedp.Open();
        } else if (c == '2') {
            logLineA = rankingRow(*this, 1, bibNo, lineTime(*this));
            boardRows[0] = logLineA;
            storeTime(*this, "time2", UpdateLines::Two);
            setStatement(Qedit, {"select * from timedata",
                                 "where totalt<>'' and grp='" + sqlValue(grpNo) + "' and block='" +
                                     sqlValue(blockNo) + "'",
                                 "and time2<>''", "order by totalt"});
            Qedit.Open();
            if (Qedit.HasOnlyOneRecord()) sendFirstResultCommand(*this);
            // The leader's run-1 time, not the total that the ranking is ordered by.
            if (logLineC.empty())
                logLineC = rankingRow(*this, 3, Qedit.FieldByName("bib").AsString(),
                                      Qedit.FieldByName("time1").AsString());
            for (size_t row = 2; row <= 12; ++row)
                boardRows[row].clear();
            fillRanking(*this, Qedit, "totalt", 3, kLastRow, true);
            setStatement(Qtimedp, gridTotalStatement(*this));
            Qtimedp.Open();
        }
        dropQueuedLine(*this);
    }

    if (!logLineA.empty()) {
        if (RGinout.ItemIndex() == 0) {
            if (port1Open) {
                for (rowNo = 1; rowNo <= kLastRow; ++rowNo) {
                    if (rowNo == kRowL) continue;
                    CommX1.SendString(boardRow(*this, rowNo));
                    scheduler().pause(50);
                }
            }
        } else if (port2Open) {
            for (rowNo = 1; rowNo <= kLastRow; ++rowNo) {
                if (rowNo == kRowL) continue;
                const std::string& row = boardRow(*this, rowNo);
                Memo3.addLine(row);
                if (showsSomething(row, 2, 20)) {
                    CommX2.SendString(row);
                    scheduler().pause(50);
                }
            }
        }
        logPassLines(*this);
        endOutputLogEntry();
    }

    bufferBusy = false;
    firstCode.clear();
}

}  // namespace qpane
