// The pass display cycle: every 500 ms, the oldest pass row still to be shown is drawn in
// the layout of the pattern, marked shown and held on the board for waitTime seconds.
#include <exception>

#include "app/fqpane.h"
#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_display.h"

namespace qpane {

void TFqpane::Timer3Timer() {
    Qcross.Close();
    Qcross.Open();
    if (Qcross.RecordCount() == 0) return;
    // No second step may start while this one holds the thread in its pauses.
    Timer3.SetEnabled(false);

    cross::PassTexts t;
    for (size_t i = 0; i < t.size(); ++i)
        t[i] = Qcross.FieldByName("tm" + std::to_string(i + 1)).AsString();
    const std::string shownTenths = cross::copyText(t[0], 10, 10);
    nowTime = static_cast<int32_t>(
        RGpre.ItemIndex() == 0 ? timetonum(shownTenths) : timetonum(cross::copyText(t[0], 10, 11)));
    for (std::string& pass : t)
        pass = cross::arrangePrecision(*this, pass);

    dpscl();
    switch (patternNo) {
        case 11: cross::showScrollRows(*this, t, cross::scrollRowCount(*this)); break;
        case 12: cross::showScrollRows(*this, t, 2); break;
        case 13: cross::showDifference(*this, t); break;
        case 14: cross::showRank(*this, t, shownTenths); break;
        case 15: cross::showRelay(*this, t); break;
        default: break;  // not a cross pattern: the row is only marked shown
    }

    cross::setSql(Qtemp, {"update crosst set sumi='1' where uc='" +
                          sqlValue(Qcross.FieldByName("uc").AsString()) + "'"});
    // A row that the store's disk would not let be marked is held all the same, and the cycle
    // goes on: it is shown again until the mark is stored, the rows after it once it is.
    std::exception_ptr markFailed;
    try {
        Qtemp.ExecSQL();
        storeFailureTold_ = false;
    } catch (const EDatabaseError& e) {
        if (!e.writeFailed()) throw;
        markFailed = std::current_exception();
    }
    boardOutput.wait(static_cast<int64_t>(waitTime) * 1000);
    Timer3.SetEnabled(true);
    if (markFailed && tellStoreFailure()) std::rethrow_exception(markFailed);
}

}  // namespace qpane
