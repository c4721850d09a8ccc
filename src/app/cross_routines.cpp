// The cross-country routines and the pass display cycle of the window: each call runs the
// routine of patterns/cross on the window's queue, store, fields and board output.
#include "app/fqpane.h"
#include "patterns/cross/cross_context.h"

namespace qpane {

namespace {
cross::CrossContext crossContext(TFqpane& w) {
    return {
        .queue = w.Memo2,
        .store = {.Qtemp = w.Qtemp,
                  .Qedit = w.Qedit,
                  .Qtimedp = w.Qtimedp,
                  .Qcross = w.Qcross,
                  .Qtop = w.Qtop,
                  .Qedit2 = w.Qedit2},
        .fields = {.topTime = w.topTime,
                   .nowTime = w.nowTime,
                   .diffTime = w.diffTime,
                   .workLine = w.workLine,
                   .bibNo = w.bibNo,
                   .timeText = w.timeText,
                   .rankBib = w.rankBib,
                   .rankTime = w.rankTime,
                   .topLine = w.topLine,
                   .lapNo = w.lapNo,
                   .blockNo = w.blockNo,
                   .grpNo = w.grpNo,
                   .shownGrp = w.shownGrp,
                   .shownBlock = w.shownBlock,
                   .rowNo = w.rowNo,
                   .boardRows = w.boardRows},
        .board = w.boardOutput,
        .settings = {.pattern = w.pattern(),
                     .form = timeFieldFormOf(w.patternNo),
                     .precision = w.precision(),
                     .scrollRowsText = w.Eddan.Text(),
                     .holdSeconds = w.waitTime},
    };
}
}  // namespace

void TFqpane::syoriC1() {
    cross::CrossContext c = crossContext(*this);
    cross::syoriC1(c);
}

void TFqpane::syoriC2() {
    cross::CrossContext c = crossContext(*this);
    cross::syoriC2(c);
}

void TFqpane::syoriC3() {
    cross::CrossContext c = crossContext(*this);
    cross::syoriC3(c);
}

void TFqpane::syoriC4() {
    cross::CrossContext c = crossContext(*this);
    cross::syoriC4(c);
}

void TFqpane::syoriR() {
    cross::CrossContext c = crossContext(*this);
    cross::syoriR(c);
}

void TFqpane::Timer3Timer() {
    cross::CrossContext c = crossContext(*this);
    c.window = {.enablePassDisplay = [this](bool on) { Timer3.SetEnabled(on); },
                .storeWritten = [this] { storeFailureTold_ = false; },
                .tellStoreFailure = [this] { return tellStoreFailure(); }};
    cross::Timer3Timer(c);
}

}  // namespace qpane
