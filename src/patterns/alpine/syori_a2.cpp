// ALPINE-2: rows A to J show the ten best of the group and block, the leader in row A. The
// board is refreshed after every queued line, from the grid query Qtimedp.
#include "board/board_lines.h"
#include "input/line_list.h"
#include "input/time_values.h"
#include "patterns/alpine/alpine_steps.h"
#include "platform/byte_text.h"
#include "store/query.h"

namespace qpane::alpine {

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

void syoriA2(AlpineContext& c) {
    AlpineFields& f = c.fields;
    TQuery& Qtimedp = c.store.Qtimedp;
    // The intake reads nothing while the pass runs; the cycle waits for its end.
    f.bufferBusy = true;
    c.window.enableProcessingCycle(false);
    bool seenT = false;
    bool seen1 = false;
    bool seen2 = false;

    while (c.queue.count() >= 1) {
        char code;
        if (!takeTimedLine(c, {kDroppedCodes, false}, code)) continue;

        if (code == 'T') {
            seenT = true;
            storeTime(c, "totalt", UpdateLines::Two);
        } else if (code == '1') {
            seen1 = true;
            storeTime(c, "time1", UpdateLines::Two);
        } else if (code == '2') {
            seen2 = true;
            storeTime(c, "time2", UpdateLines::Two);
        }

        const std::string where =
            "where block='" + sqlValue(f.blockNo) + "' and grp='" + sqlValue(f.grpNo) + "'";
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
                    c.board.sendFirstResultCommand();
                    resetBoardRows(f.boardRows, f.rowNo);
                }
                // A kept result fills no row: its cursor is where the last fill left it, past
                // its end, or on the eleventh finisher when more than ten finished, who must
                // not appear in the leader's rows.
                if (!kept) fillRanking(c, Qtimedp, "rtime", 1, kLastRow, false);
            }
        }

        // The separate board is refreshed only after a line that changed the ranking it
        // shows; it gets and logs every row, blank ones too.
        const bool refreshesSeparate =
            !f.workLine.empty() &&
            ((seen1 && !seenT) || (seen2 && f.workLine.compare(0, 2, "C2") == 0));
        if (!rowOf(f.boardRows, kRowA).empty()) {
            PassRows plan;
            plan.last = kLastRow;
            plan.separate.log = RowLog::SentRows;
            if (!refreshesSeparate) plan.separate.rows = PortRowRule::Rows::Skipped;
            c.board.sendPassRows(f.boardRows, f.rowNo, plan);
        }
        c.board.endLogEntry();
        dropQueuedLine(c);
    }

    f.bufferBusy = false;
    c.window.enableProcessingCycle(true);
}

}  // namespace qpane::alpine
