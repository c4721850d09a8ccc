// The relay: "1" lines set the lap, "T" lines are passes with the total time. After every
// line the group leader's row C is rebuilt, logged, and sent when it changed within the call.
#include <exception>

#include "board/board_lines.h"
#include "input/line_list.h"
#include "input/time_values.h"
#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_recording.h"
#include "platform/convert.h"
#include "store/query.h"

namespace qpane::cross {

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
int64_t leadingLap(TQuery& Qtop) {
    try {
        Qtop.Close();
        Qtop.Open();
        return Qtop.FieldByName("lap").AsInteger();
    } catch (const std::exception&) {
        return 0;
    }
}

// Row C from the current record of Qtop and topTime. A ranking whose first runner has no
// total time yet (no pass in the group so far) has no leader: the row is blank rather than
// the first bib of the block with a made-up time.
std::string leaderLine(const CrossContext& c) {
    TQuery& Qtop = c.store.Qtop;
    if (Qtop.RecordCount() == 0 || Qtop.FieldByName("totalt").AsString().empty())
        return blankBoardRow(kRowC);
    return "C" + Qtop.FieldByName("bib").AsString() + "     " +
           c.timeField(c.arranged(numtotime(c.fields.topTime))) + "\r";
}

}  // namespace

void syoriR(CrossContext& c) {
    CrossFields& f = c.fields;
    TQuery& Qtop = c.store.Qtop;
    TQuery& Qtemp = c.store.Qtemp;
    TQuery& Qedit = c.store.Qedit;
    std::string lastSent;
    while (c.queue.count() >= 1) {
        takeQueuedLine(c);
        if (charAt(f.workLine, 2) == '1') f.lapNo = lapFromLetter(charAt(f.workLine, 18));
        const int64_t leadLap = leadingLap(Qtop);
        const int64_t lap = StrToInt(lapOrZero(f.lapNo));
        takePassTime(c);

        if (isStorablePass(c, 'T')) {
            f.workLine = storedPassLine(c);
            setSql(Qedit, {"update timedata set totalt='" + sqlValue(f.timeText) + "',totaltv='" +
                               std::to_string(timetonum(f.timeText)) + "',lap='" +
                               sqlValue(lapOrZero(f.lapNo)) + "'",
                           "where bib='" + sqlValue(f.bibNo) + "' and block='" +
                               sqlValue(f.blockNo) + "'"});
            storePass(c);
            if (leadLap <= lap) {
                Qtop.Close();
                Qtop.Open();
                f.topTime = static_cast<int32_t>(timetonum(Qtop.FieldByName("totalt").AsString()));
            }
        }
        c.queue.deleteLine(0);

        setSql(Qtemp, {"select * from timedata where bib='" + sqlValue(f.bibNo) + "'",
                       "and block='" + sqlValue(f.blockNo) + "'"});
        Qtemp.Open();
        if (Qtemp.RecordCount() > 0) {
            const std::string g = Qtemp.FieldByName("grp").AsString();
            const std::string b = Qtemp.FieldByName("block").AsString();
            if (g != f.shownGrp || b != f.shownBlock) {
                f.shownGrp = g;
                f.shownBlock = b;
                setSql(Qtop, {"select * from timedata where block='" + sqlValue(f.blockNo) + "'",
                              "and grp='" + sqlValue(f.shownGrp) + "' order by lap desc,totaltv"});
                Qtop.Open();
                f.topTime = static_cast<int32_t>(timetonum(Qtop.FieldByName("totalt").AsString()));
            }
        }
        if (leadLap <= lap) {
            Qtop.Close();
            Qtop.Open();
        }

        f.topLine = leaderLine(c);
        if (f.topLine != lastSent) {
            c.board.send(f.topLine);
            lastSent = f.topLine;
        }
        c.board.log(f.topLine);
        rereadGrid(c);
    }
}

}  // namespace qpane::cross
