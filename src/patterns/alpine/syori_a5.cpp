// ALPINE-5: row A the bib and time of the competitor just timed, row B the difference to the
// leader, rows C to J the eight best of the group and block, no rank number.
#include "app/fqpane.h"
#include "patterns/alpine/alpine_steps.h"

namespace qpane {

using namespace alpine;

namespace {
constexpr int kLastRow = 10;  // row J
}  // namespace

void TFqpane::syoriA5() {
    totalDone = false;
    logLineA.clear();
    dpscl();

    while (Memo2.count() >= 1) {
        char c;
        if (!takeTimedLine(*this, {"SA", true}, c)) continue;

        if (c == 'T') {
            storeTime(*this, "totalt", UpdateLines::One);
            openRanking(*this, "totalt");
            if (Qedit.HasOnlyOneRecord()) sendFirstResultCommand(*this);
            logLineC = rankingRow(*this, 3, Qedit.FieldByName("bib").AsString(),
                                  Qedit.FieldByName("totalt").AsString());
            topTime = static_cast<int32_t>(timetonum(Qedit.FieldByName("totalt").AsString()));
            fillRanking(*this, Qedit, "totalt", 3, kLastRow, false);
            diffTime = static_cast<int32_t>(timetonum(timeText) - topTime);
            logLineB = differenceRow(*this, 'B');
            boardRows[1] = logLineB;
            totalDone = true;
            rowABib = bibNo;
            nowTime = static_cast<int32_t>(timetonum(timeText));
            logLineA = rankingRow(*this, 1, rowABib, lineTime(*this));
            boardRows[0] = logLineA;
        } else if (c == '1') {
            if (firstCode.empty()) firstCode = "1";
            // A total earlier in the pass suppresses the run-1 time, its storing included.
            if (!totalDone) {
                storeTime(*this, "time1", UpdateLines::Two);
                openRanking(*this, "time1");
                if (Qedit.HasOnlyOneRecord()) sendFirstResultCommand(*this);
                logLineC = rankingRow(*this, 3, Qedit.FieldByName("bib").AsString(),
                                      Qedit.FieldByName("time1").AsString());
                topTime = static_cast<int32_t>(timetonum(Qedit.FieldByName("time1").AsString()));
                fillRanking(*this, Qedit, "time1", 3, kLastRow, false);
                diffTime = static_cast<int32_t>(timetonum(timeText) - topTime);
                logLineB = differenceRow(*this, 'B');
                boardRows[1] = logLineB;
                rowABib = bibNo;
                logLineA = rankingRow(*this, 1, rowABib, lineTime(*this));
                boardRows[0] = logLineA;
                nowTime = static_cast<int32_t>(timetonum(timeText));
            }
            setStatement(Qtimedp, gridRun1Statement(*this, false));
            if (firstCode == "1") Qtimedp.Open();
        } else if (c == '2') {
            firstCode = "2";
            storeTime(*this, "time2", UpdateLines::Two);
            setStatement(Qtimedp, gridTotalStatement(*this));
            Edit1.SetText(Qtimedp.SQL().TextCRLF());
            Qtimedp.Open();
        }
        dropQueuedLine(*this);
    }

    if (!boardRows[0].empty()) {
        sendRowsAToJ(*this);
        logPassLines(*this);
    }

    endOutputLogEntry();
    bufferBusy = false;
}

}  // namespace qpane
