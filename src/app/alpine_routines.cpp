// The alpine routines of the window: each pass runs the pattern of patterns/alpine on the
// window's queue, store, fields and board output.
#include "app/fqpane.h"
#include "patterns/alpine/alpine_context.h"

namespace qpane {

namespace {
alpine::AlpineContext alpineContext(TFqpane& w) {
    return {
        .queue = w.Memo2,
        .store = {.Qtemp = w.Qtemp, .Qedit = w.Qedit, .Qtimedp = w.Qtimedp},
        .fields = {.bufferBusy = w.bufferBusy,
                   .totalDone = w.totalDone,
                   .topTime = w.topTime,
                   .nowTime = w.nowTime,
                   .diffTime = w.diffTime,
                   .workLine = w.workLine,
                   .bibNo = w.bibNo,
                   .timeText = w.timeText,
                   .rankText = w.rankText,
                   .rowBib = w.rowBib,
                   .rowTime = w.rowTime,
                   .rankGrp = w.rankGrp,
                   .logLineA = w.logLineA,
                   .logLineB = w.logLineB,
                   .logLineC = w.logLineC,
                   .rowABib = w.rowABib,
                   .blockNo = w.blockNo,
                   .grpNo = w.grpNo,
                   .firstCode = w.firstCode,
                   .rowNo = w.rowNo,
                   .boardRows = w.boardRows},
        .board = w.boardOutput,
        // Only the buffered mode changes how a line reads; a field not read yet is direct.
        .settings = {.connection = w.connectionMode().value_or(ConnectionMode::Direct),
                     .precision = w.precision()},
        .window = {.enableProcessingCycle = [&w](bool on) { w.Timer1.SetEnabled(on); },
                   .setEdit1Text = [&w](std::string text) { w.Edit1.SetText(std::move(text)); },
                   .setEdit3Text = [&w](std::string text) { w.Edit3.SetText(std::move(text)); }},
    };
}
}  // namespace

void TFqpane::syoriA1() {
    alpine::AlpineContext c = alpineContext(*this);
    alpine::syoriA1(c);
}

void TFqpane::syoriA2() {
    alpine::AlpineContext c = alpineContext(*this);
    alpine::syoriA2(c);
}

void TFqpane::syoriA3() {
    alpine::AlpineContext c = alpineContext(*this);
    alpine::syoriA3(c);
}

void TFqpane::syoriA4() {
    alpine::AlpineContext c = alpineContext(*this);
    alpine::syoriA4(c);
}

void TFqpane::syoriA5() {
    alpine::AlpineContext c = alpineContext(*this);
    alpine::syoriA5(c);
}

}  // namespace qpane
