// ALPINE-2: rows A to J show the ten best of the group and block, the leader in row A. The
// board is refreshed after every queued line, from the grid query Qtimedp.
#include "app/fqpane.h"
#include "patterns/alpine/alpine_steps.h"
#include "platform/byte_text.h"

namespace qpane {

using namespace alpine;

namespace {
// Codes that this pattern drops before anything is stored.
constexpr std::string_view kDroppedCodes = "S ABFGHIJKLMN";
constexpr int kLastRow = 10;  // row J

bool hasColumn(const TQuery& q, std::string_view name) {
    for (int c = 0; c < q.columnCount(); ++c)
        if (equalsNoCase(q.columnName(c), name)) return true;
    return false;
}
}  // namespace

void TFqpane::syoriA2() {
    // The intake reads nothing while the pass runs; the cycle waits for its end.
    bufferBusy = true;
    Timer1.SetEnabled(false);
    bool seenT = false;
    bool seen1 = false;
    bool seen2 = false;

    while (Memo2.count() >= 1) {
        char c;
        if (!takeTimedLine(*this, {kDroppedCodes, false}, c)) continue;

        if (c == 'T') {
            seenT = true;
            storeTime(*this, "totalt", UpdateLines::Two);
        } else if (c == '1') {
            seen1 = true;
            storeTime(*this, "time1", UpdateLines::Two);
        } else if (c == '2') {
            seen2 = true;
            storeTime(*this, "time2", UpdateLines::Two);
        }

        const std::string where =
            "where block='" + sqlValue(blockNo) + "' and grp='" + sqlValue(grpNo) + "'";
        if (seen1 && !seenT) {
            setStatement(Qtimedp, {"select bib,time1 as rtime from timedata",
                                   where + " and time1<>''", "order by time1"});
        } else if (seen2 && seenT) {
            setStatement(Qtimedp, {"select bib,totalt as rtime from timedata",
                                   where + " and totalt<>''", "and time2<>''", "order by totalt"});
        }

        // No rule has set a ranking yet: nothing to open and nothing to fill.
        if (Qtimedp.SQL().Count() > 0) {
            // A text kept from an earlier line is still open: its result and its cursor stay.
            const bool kept = Qtimedp.Active();
            Qtimedp.Open();
            // Only a ranking of this pattern is shown. A statement that another pattern or the
            // data check page left in the grid has no rtime: reading it would fail on every
            // pass and hold the queue, and every time behind it, for the rest of the race.
            if (hasColumn(Qtimedp, "rtime")) {
                if (Qtimedp.HasOnlyOneRecord()) {
                    sendFirstResultCommand(*this);
                    dpscl();
                }
                // A kept result fills no row: its cursor is where the last fill left it, past
                // its end, or on the eleventh finisher when more than ten finished, who must
                // not appear in the leader's rows.
                if (!kept) fillRanking(*this, Qtimedp, "rtime", 1, kLastRow, false);
            }
        }

        if (!boardRows[0].empty()) {
            if (RGinout.ItemIndex() == 0) {
                if (port1Open) {
                    for (rowNo = 1; rowNo <= kLastRow; ++rowNo) {
                        CommX1.SendString(boardRow(*this, rowNo));
                        scheduler().pause(50);
                    }
                }
            } else if (port2Open && !workLine.empty() &&
                       ((seen1 && !seenT) || (seen2 && workLine.compare(0, 2, "C2") == 0))) {
                for (rowNo = 1; rowNo <= kLastRow; ++rowNo) {
                    CommX2.SendString(boardRow(*this, rowNo));
                    Memo3.addLine(boardRow(*this, rowNo));
                    scheduler().pause(50);
                }
            }
        }
        endOutputLogEntry();
        dropQueuedLine(*this);
    }

    bufferBusy = false;
    Timer1.SetEnabled(true);
}

}  // namespace qpane
