// The pass display cycle: every 500 ms, the oldest pass row still to be shown is drawn in
// the layout of the pattern, marked shown and held on the board for holdSeconds.
#include <exception>

#include "board/board_lines.h"
#include "input/time_values.h"
#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_display.h"
#include "store/query.h"

namespace qpane::cross {

void Timer3Timer(CrossContext& c) {
    CrossFields& f = c.fields;
    TQuery& Qcross = c.store.Qcross;
    TQuery& Qtemp = c.store.Qtemp;
    Qcross.Close();
    Qcross.Open();
    if (Qcross.RecordCount() == 0) return;
    // No second step may start while this one holds the thread in its pauses.
    c.window.enablePassDisplay(false);

    PassTexts t;
    for (size_t i = 0; i < t.size(); ++i)
        t[i] = Qcross.FieldByName("tm" + std::to_string(i + 1)).AsString();
    const std::string shownTenths = copyText(t[0], 10, 10);
    f.nowTime = static_cast<int32_t>(c.settings.precision == Precision::Tenths
                                         ? timetonum(shownTenths)
                                         : timetonum(copyText(t[0], 10, 11)));
    for (std::string& pass : t)
        pass = arrangePrecision(c, pass);

    resetBoardRows(f.boardRows, f.rowNo);
    if (c.settings.pattern) switch (*c.settings.pattern) {
            case PatternNumber::Cross1:
                showScrollRows(c, t, scrollRowCount(c.settings.scrollRowsText));
                break;
            case PatternNumber::Cross2: showScrollRows(c, t, 2); break;
            case PatternNumber::Cross3: showDifference(c, t); break;
            case PatternNumber::Cross4: showRank(c, t, shownTenths); break;
            case PatternNumber::Relay: showRelay(c, t); break;
            default: break;  // an alpine pattern: the row is only marked shown
        }

    setSql(Qtemp, {"update crosst set sumi='1' where uc='" +
                   sqlValue(Qcross.FieldByName("uc").AsString()) + "'"});
    // A row that the store's disk would not let be marked is held all the same, and the cycle
    // goes on: it is shown again until the mark is stored, the rows after it once it is.
    std::exception_ptr markFailed;
    try {
        Qtemp.ExecSQL();
        c.window.storeWritten();
    } catch (const EDatabaseError& e) {
        if (!e.writeFailed()) throw;
        markFailed = std::current_exception();
    }
    c.board.wait(static_cast<int64_t>(c.settings.holdSeconds) * 1000);
    c.window.enablePassDisplay(true);
    if (markFailed && c.window.tellStoreFailure()) std::rethrow_exception(markFailed);
}

}  // namespace qpane::cross
