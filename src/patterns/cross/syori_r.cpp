// The relay: "1" lines set the lap, "T" lines are passes with the total time. After every
// line the group leader's row C is rebuilt, logged, and sent when it changed within the call.
#include <exception>

#include "app/fqpane.h"
#include "board/board_lines.h"
#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_recording.h"
#include "platform/convert.h"

namespace qpane {

namespace {

// The lap letter at position 18: "A" to "I" are laps 1 to 9, anything else lap 0.
std::string lapFromLetter(char letter) {
    if (letter >= 'A' && letter <= 'I') return std::string(1, char('1' + (letter - 'A')));
    return "0";
}

// Before the first "1" line of a race there is no lap yet: it counts as lap 0, so a pass
// that comes first is stored with lap 0 instead of failing on an empty lap.
std::string lapOrZero(const std::string& lapNo) {
    return lapNo.empty() ? "0" : lapNo;
}

// The leading lap of whatever ranking Qtop holds; anything unreadable counts as lap 0.
int64_t leadingLap(TFqpane& w) {
    try {
        w.Qtop.Close();
        w.Qtop.Open();
        return w.Qtop.FieldByName("lap").AsInteger();
    } catch (const std::exception&) {
        return 0;
    }
}

// Row C from the current record of Qtop and topTime. A ranking whose first runner has no
// total time yet (no pass in the group so far) has no leader: the row is blank rather than
// the first bib of the block with a made-up time.
std::string leaderLine(TFqpane& w) {
    if (w.Qtop.RecordCount() == 0 || w.Qtop.FieldByName("totalt").AsString().empty())
        return blankBoardRow(BoardRow(3));
    return "C" + w.Qtop.FieldByName("bib").AsString() + "     " +
           w.dptime(w.dpprec(w.numtotime(w.topTime))) + "\r";
}

}  // namespace

void TFqpane::syoriR() {
    std::string lastSent;
    while (Memo2.count() >= 1) {
        cross::takeQueuedLine(*this);
        if (cross::charAt(workLine, 2) == '1') lapNo = lapFromLetter(cross::charAt(workLine, 18));
        const int64_t leadLap = leadingLap(*this);
        const int64_t lap = StrToInt(lapOrZero(lapNo));
        cross::takePassTime(*this);

        if (cross::isStorablePass(*this, 'T')) {
            workLine = cross::storedPassLine(*this);
            cross::setSql(Qedit, {"update timedata set totalt='" + sqlValue(timeText) +
                                      "',totaltv='" + std::to_string(timetonum(timeText)) +
                                      "',lap='" + sqlValue(lapOrZero(lapNo)) + "'",
                                  "where bib='" + sqlValue(bibNo) + "' and block='" +
                                      sqlValue(blockNo) + "'"});
            Qedit.ExecSQL();
            cross::appendPassRow(*this);
            if (leadLap <= lap) {
                Qtop.Close();
                Qtop.Open();
                topTime = static_cast<int32_t>(timetonum(Qtop.FieldByName("totalt").AsString()));
            }
        }
        Memo2.deleteLine(0);

        cross::setSql(Qtemp, {"select * from timedata where bib='" + sqlValue(bibNo) + "'",
                              "and block='" + sqlValue(blockNo) + "'"});
        Qtemp.Open();
        if (Qtemp.RecordCount() > 0) {
            const std::string g = Qtemp.FieldByName("grp").AsString();
            const std::string b = Qtemp.FieldByName("block").AsString();
            if (g != shownGrp || b != shownBlock) {
                shownGrp = g;
                shownBlock = b;
                cross::setSql(Qtop,
                              {"select * from timedata where block='" + sqlValue(blockNo) + "'",
                               "and grp='" + sqlValue(shownGrp) + "' order by lap desc,totaltv"});
                Qtop.Open();
                topTime = static_cast<int32_t>(timetonum(Qtop.FieldByName("totalt").AsString()));
            }
        }
        if (leadLap <= lap) {
            Qtop.Close();
            Qtop.Open();
        }

        topLine = leaderLine(*this);
        if (topLine != lastSent) {
            boardOutput.send(topLine);
            lastSent = topLine;
        }
        boardOutput.log(topLine);
        cross::rereadGrid(*this);
    }
}

}  // namespace qpane
