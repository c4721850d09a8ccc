#pragma once

#include <windows.h>

#include "serial/comm_device.h"

namespace qpane {

// Writes the line settings, flag word, XON/XOFF limits and characters of dcb into the
// driver's block, keeping the fields that the component does not set. False when a value
// has no Windows form (a character size outside 5 to 8, a bit rate below 1); the block is
// then unchanged.
bool win32DcbFromCommDcb(const CommDcb& dcb, DCB& block);

// The driver's block as the component sees it.
void commDcbFromWin32Dcb(const DCB& block, CommDcb& dcb);

// The component's time-outs as Windows takes them, with reads that return at once: the
// component does its own waiting for bytes.
COMMTIMEOUTS win32Timeouts(const CommTimeouts& timeouts);

}  // namespace qpane
