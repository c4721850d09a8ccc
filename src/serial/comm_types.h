#pragma once

#include <cstdint>
#include <stdexcept>

namespace qpane {

enum TCommParityBits { cpbNone, cpbOdd, cpbEven };
enum TCommStopBits { csb1, csb1p5, csb2 };
enum TCommFlowCtrls { cfcRtsCts, cfcDtrDsr, cfcXonXoff, cfcHalfHigh, cfcHalfLow, cfcNone };

// Every failure of the serial component; the message is the component's Japanese text.
class ECommError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Line errors as the component reports them through OnError (the Windows CE_ values, so
// that a Win32 backend passes its error word through unchanged).
inline constexpr uint32_t kCommErrRxOver = 0x01;   // the driver's input buffer overflowed
inline constexpr uint32_t kCommErrOverrun = 0x02;  // the UART lost a character
inline constexpr uint32_t kCommErrParity = 0x04;
inline constexpr uint32_t kCommErrFrame = 0x08;
inline constexpr uint32_t kCommErrBreak = 0x10;
inline constexpr uint32_t kCommErrIo = 0x400;  // the device failed or went away
// The errors that the threads and reads report: overrun, parity, framing.
inline constexpr uint32_t kCommErrReported = 0x0E;

// Port events (the Windows EV_ values). OnSignal receives the mask of the event.
inline constexpr uint32_t kCommEvRxChar = 0x01;
inline constexpr uint32_t kCommEvCts = 0x08;
inline constexpr uint32_t kCommEvDsr = 0x10;
inline constexpr uint32_t kCommEvRlsd = 0x20;
inline constexpr uint32_t kCommEvBreak = 0x40;
inline constexpr uint32_t kCommEvErr = 0x80;
inline constexpr uint32_t kCommEvRing = 0x100;
// What an open port waits for: RXCHAR, CTS, DSR, RLSD, BREAK, ERR, RING.
inline constexpr uint32_t kCommEventMask = 0x1F9;
// Events that raise the signal notification: CTS, DSR, RLSD, BREAK, RING.
inline constexpr uint32_t kCommEvSignals = 0x178;
// Events that the signal notification hands to OnSignal: CTS, DSR, RLSD, RING.
inline constexpr uint32_t kCommEvModemLines = 0x138;

}  // namespace qpane
