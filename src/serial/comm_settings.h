#pragma once

#include "serial/comm_device.h"

namespace qpane {

// Replaces the flag word of dcb by the one of flow (binary transfer and parity check always
// on) and sets the XON/XOFF limits from the input buffer length.
void setFlowFlags(CommDcb& dcb, TCommFlowCtrls flow, int bufLenReceive);

// The time-outs of an open port: reads limited only by their total of timeOutReceive, writes
// by their total of timeOutTrans. A value below 0 counts as 0.
CommTimeouts makeTimeouts(int timeOutTrans, int timeOutReceive);

}  // namespace qpane
