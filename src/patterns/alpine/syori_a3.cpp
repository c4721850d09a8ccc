// ALPINE-3: row A the bib and rank of the competitor just timed, row B that competitor's
// time, rows C to J the eight best of the group and block.
#include "app/fqpane.h"
#include "patterns/alpine/alpine_steps.h"

namespace qpane {

using namespace alpine;

namespace {
// Codes that this pattern drops; a space is not among them.
constexpr std::string_view kDroppedCodes = "SABFGHIJKLMN";
constexpr int kLastRow = 10;  // row J
}  // namespace

void TFqpane::syoriA3() {
    totalDone = false;
    dpscl();

    while (Memo2.count() >= 1) {
        char c;
        if (!takeTimedLine(*this, {kDroppedCodes, true}, c)) continue;

        setStatement(Qedit, {"select grp from timedata where bib='" + sqlValue(bibNo) +
                             "' and block='" + sqlValue(blockNo) + "'"});
        Qedit.Open();
        rankGrp = Qedit.RecordCount() >= 1 ? Qedit.FieldByName("grp").AsString() : "0";

        if (c == 'T') {
            storeTime(*this, "totalt", UpdateLines::One);
            openRanking(*this, "totalt");
            fillRanking(*this, Qedit, "totalt", 3, kLastRow, false);
            setStatement(Qedit, rankCountStatement(*this, "totalt", rankGrp));
            Edit3.SetText(Qedit.SQL().TextCRLF());
            rankText = openRankCount(Qedit);
            totalDone = true;
            rowABib = bibNo;
            boardRows[1] = "B        " + dptime(lineTime(*this)) + "\r";
        } else if (c == '1') {
            if (firstCode.empty()) firstCode = "1";
            // A total earlier in the pass suppresses the run-1 time, its storing included.
            if (!totalDone) {
                storeTime(*this, "time1", UpdateLines::Two);
                openRanking(*this, "time1");
                if (Qedit.RecordCount() == 1) boardOutput.sendFirstResultCommand();
                fillRanking(*this, Qedit, "time1", 3, kLastRow, false);
                setStatement(Qedit, rankCountStatement(*this, "time1", rankGrp));
                rankText = openRankCount(Qedit);
                boardRows[1] = "B        " + dptime(lineTime(*this)) + "\r";
                rowABib = bibNo;
            }
            setStatement(Qtimedp, gridRun1Statement(*this, false));
            Edit3.SetText(Qtimedp.SQL().TextCRLF());
            if (firstCode == "1") Qtimedp.Open();
        } else if (c == '2') {
            firstCode = "2";
            storeTime(*this, "time2", UpdateLines::Two);
            setStatement(Qtimedp, gridTotalStatement(*this));
            Qtimedp.Open();
            if (Qtimedp.RecordCount() == 1) boardOutput.sendFirstResultCommand();
        }

        rankText = rankForm(rankText);
        boardRows[0] = "A" + rowABib + "         P L" + rankText + "\r";
        dropQueuedLine(*this);
    }

    if (!boardRows[0].empty()) {
        // Each row sent is logged with the port it went to. On the shared port a dropped "A"
        // line at the end of the pass holds the board back.
        PassRows plan;
        plan.last = kLastRow;
        plan.shared.log = plan.separate.log = RowLog::SentRows;
        plan.shared.logSuffix = "/1";
        plan.separate.logSuffix = "/2";
        plan.separate.blankFrom = 3;
        if (workLine.compare(0, 2, "CA") == 0) plan.shared.rows = PortRowRule::Rows::CountedOnly;
        boardOutput.sendPassRows(boardRows, rowNo, plan);
        boardOutput.endLogEntry();
    }

    bufferBusy = false;
}

}  // namespace qpane
