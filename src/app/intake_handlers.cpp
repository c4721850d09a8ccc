// The timing port's handlers: the intake in input/ does the work.
#include "app/fqpane.h"
#include "input/intake.h"

namespace qpane {

void TFqpane::CommX1Receive(TCustomCommX& sender, int receiveSize) {
    (void)sender;
    const size_t queued = Memo2.count();
    receiveTimingBytes({CommX1, Memo1, Memo2, Memo4, Timer1, sendText}, *this,
                       {patternNo, connMode, CkBrelay.Checked()}, receiveSize);
    noteQueuedLines(queued);
}

void TFqpane::Timer2Timer() {
    pollTimingDevice(CommX1);
}

}  // namespace qpane
