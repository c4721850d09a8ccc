// ALPINE-4: row A the bib and rank of the competitor just timed, row B that competitor's
// time, row C the difference to the leader, rows D to J the seven best of the group and
// block.
#include "app/fqpane.h"
#include "patterns/alpine/alpine_steps.h"

namespace qpane {

using namespace alpine;

namespace {
constexpr int kLastRow = 10;  // row J
}  // namespace

void TFqpane::syoriA4() {
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
            topTime = static_cast<int32_t>(timetonum(Qedit.FieldByName("totalt").AsString()));
            diffTime = static_cast<int32_t>(timetonum(timeText) - topTime);
            logLineC = differenceRow(*this, 'C');
            boardRows[2] = differenceRow(*this, 'C');
            fillRanking(*this, Qedit, "totalt", 4, kLastRow, false);
            setStatement(Qedit, rankCountStatement(*this, "totalt", grpNo));
            rankText = openRankCount(Qedit);
            totalDone = true;
            rowABib = bibNo;
            nowTime = static_cast<int32_t>(timetonum(timeText));
            logLineB = "B        " + dptime(lineTime(*this)) + "\r";
            boardRows[1] = logLineB;
        } else if (c == '1') {
            if (firstCode.empty()) firstCode = "1";
            // A total earlier in the pass suppresses the run-1 time, its storing included.
            if (!totalDone) {
                storeTime(*this, "time1", UpdateLines::Two);
                openRanking(*this, "time1");
                if (Qedit.HasOnlyOneRecord()) sendFirstResultCommand(*this);
                topTime = static_cast<int32_t>(timetonum(Qedit.FieldByName("time1").AsString()));
                diffTime = static_cast<int32_t>(timetonum(timeText) - topTime);
                logLineC = differenceRow(*this, 'C');
                boardRows[2] = logLineC;
                fillRanking(*this, Qedit, "time1", 4, kLastRow, false);
                setStatement(Qedit, rankCountStatement(*this, "time1", grpNo));
                rankText = openRankCount(Qedit);
                logLineB = "B        " + dptime(lineTime(*this)) + "\r";
                boardRows[1] = logLineB;
                rowABib = bibNo;
                nowTime = static_cast<int32_t>(timetonum(timeText));
            }
            setStatement(Qtimedp, gridRun1Statement(*this, false));
            if (firstCode == "1") Qtimedp.Open();
        } else if (c == '2') {
            firstCode = "2";
            storeTime(*this, "time2", UpdateLines::Two);
            setStatement(Qtimedp, gridTotalStatement(*this));
            Qtimedp.Open();
        }

        rankText = rankForm(rankText);
        logLineA = "A" + rowABib + "            " + rankText + "\r";
        boardRows[0] = logLineA;
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
