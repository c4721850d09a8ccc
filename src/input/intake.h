#pragma once

#include <string>
#include <string_view>

namespace qpane {

class LineList;
class TCustomCommX;
class TimerControl;

// What the intake keeps between two arrivals of bytes. The window's run state holds it, so
// that its fields read by their names (w.rxLine, w.bufferBusy).
struct IntakeState {
    // A buffered batch waits for its pass: the intake reads nothing until the pass ends.
    bool bufferBusy = false;
    // The line that the buffered procedures are collecting, framing bytes included.
    std::string rxLine;
};

// What the intake reads and writes besides its own state: the timing port, the window's input
// log Memo1, the input queue Memo2, the cross-country log Memo4 and the processing cycle
// Timer1, which it starts when the queue has something for the pattern.
struct IntakeParts {
    TCustomCommX& CommX1;
    LineList& Memo1;
    LineList& Memo2;
    LineList& Memo4;
    TimerControl& Timer1;
    // The text last handed to a port (the poll byte the intake answers a line with).
    std::string& sendText;
};

// The choices of the window the intake follows.
struct IntakeSettings {
    int patternNo = 0;          // up to 10 an alpine pattern, cross-country beyond
    std::string_view connMode;  // "D" direct, "B" buffered; anything else reads nothing
    bool relay = false;         // CkBrelay: the relay's codes are queued instead of the block's
};

// Takes what the receive event announced from the timing port and turns it into lines of the
// input log and the input queue, by one of the four procedures that the pattern family and
// the connection mode choose.
void receiveTimingBytes(const IntakeParts& parts, IntakeState& state,
                        const IntakeSettings& settings, int receiveSize);

// The poll of the buffered timing device: it answers with what it holds.
void pollTimingDevice(TCustomCommX& port);

}  // namespace qpane
