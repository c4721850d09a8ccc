#include "serial/comm_settings.h"

namespace qpane {

void setFlowFlags(CommDcb& dcb, TCommFlowCtrls flow, int bufLenReceive) {
    dcb.binary = true;
    dcb.parityCheck = true;
    dcb.outxCtsFlow = false;
    dcb.outxDsrFlow = false;
    dcb.outX = false;
    dcb.inX = false;
    dcb.dtrControl = CommDtrControl::Enable;
    dcb.rtsControl = CommRtsControl::Enable;
    switch (flow) {
        case cfcRtsCts:
            dcb.outxCtsFlow = true;
            dcb.rtsControl = CommRtsControl::Handshake;
            break;
        case cfcDtrDsr:
            dcb.outxDsrFlow = true;
            dcb.dtrControl = CommDtrControl::Handshake;
            break;
        case cfcXonXoff:
            dcb.outX = true;
            dcb.inX = true;
            break;
        case cfcHalfHigh:
            // The transmit thread raises RTS while it sends.
            dcb.rtsControl = CommRtsControl::Disable;
            break;
        case cfcHalfLow:  // the transmit thread drops RTS while it sends
        case cfcNone: break;
    }
    dcb.xonLim = bufLenReceive / 4;
    dcb.xoffLim = 3 * dcb.xonLim;
}

CommTimeouts makeTimeouts(int timeOutTrans, int timeOutReceive) {
    CommTimeouts t;
    t.readInterval = CommTimeouts::kNoReadInterval;
    t.readMultiplier = 0;
    t.readConstant = timeOutReceive > 0 ? static_cast<uint32_t>(timeOutReceive) : 0;
    t.writeMultiplier = 0;
    t.writeConstant = timeOutTrans > 0 ? static_cast<uint32_t>(timeOutTrans) : 0;
    return t;
}

}  // namespace qpane
