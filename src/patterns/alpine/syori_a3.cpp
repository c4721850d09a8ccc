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
                if (Qedit.HasOnlyOneRecord()) sendFirstResultCommand(*this);
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
            if (Qtimedp.HasOnlyOneRecord()) sendFirstResultCommand(*this);
        }

        rankText = rankForm(rankText);
        boardRows[0] = "A" + rowABib + "         P L" + rankText + "\r";
        dropQueuedLine(*this);
    }

    if (!boardRows[0].empty()) {
        if (RGinout.ItemIndex() == 0) {
            if (port1Open) {
                for (rowNo = 1; rowNo <= kLastRow; ++rowNo) {
                    // A dropped "A" line at the end of the pass holds the board back.
                    if (workLine.compare(0, 2, "CA") == 0) continue;
                    const std::string& row = boardRow(*this, rowNo);
                    Memo3.addLine(row + "/1");
                    CommX1.SendString(row);
                    scheduler().pause(50);
                }
            }
        } else if (port2Open) {
            for (rowNo = 1; rowNo <= kLastRow; ++rowNo) {
                const std::string& row = boardRow(*this, rowNo);
                if (!showsSomething(row, 3, 20)) continue;
                Memo3.addLine(row + "/2");
                CommX2.SendString(row);
                scheduler().pause(50);
            }
        }
        endOutputLogEntry();
    }

    bufferBusy = false;
}

}  // namespace qpane
