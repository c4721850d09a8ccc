#include "serial/win32/win32_dcb.h"

namespace qpane {

namespace {

BYTE parityCode(TCommParityBits parity) {
    switch (parity) {
        case cpbOdd: return ODDPARITY;
        case cpbEven: return EVENPARITY;
        case cpbNone: break;
    }
    return NOPARITY;
}

BYTE stopBitsCode(TCommStopBits stopBits) {
    switch (stopBits) {
        case csb1p5: return ONE5STOPBITS;
        case csb2: return TWOSTOPBITS;
        case csb1: break;
    }
    return ONESTOPBIT;
}

DWORD dtrCode(CommDtrControl dtr) {
    switch (dtr) {
        case CommDtrControl::Disable: return DTR_CONTROL_DISABLE;
        case CommDtrControl::Handshake: return DTR_CONTROL_HANDSHAKE;
        case CommDtrControl::Enable: break;
    }
    return DTR_CONTROL_ENABLE;
}

DWORD rtsCode(CommRtsControl rts) {
    switch (rts) {
        case CommRtsControl::Disable: return RTS_CONTROL_DISABLE;
        case CommRtsControl::Handshake: return RTS_CONTROL_HANDSHAKE;
        case CommRtsControl::Enable: break;
    }
    return RTS_CONTROL_ENABLE;
}

}  // namespace

bool win32DcbFromCommDcb(const CommDcb& dcb, DCB& block) {
    if (dcb.baudRate < 1 || dcb.byteSize < 5 || dcb.byteSize > 8) return false;
    DCB n = block;
    n.DCBlength = sizeof(DCB);
    n.BaudRate = static_cast<DWORD>(dcb.baudRate);
    n.ByteSize = static_cast<BYTE>(dcb.byteSize);
    n.Parity = parityCode(dcb.parity);
    n.StopBits = stopBitsCode(dcb.stopBits);
    n.fBinary = dcb.binary;
    n.fParity = dcb.parityCheck;
    n.fOutxCtsFlow = dcb.outxCtsFlow;
    n.fOutxDsrFlow = dcb.outxDsrFlow;
    n.fDtrControl = dtrCode(dcb.dtrControl);
    n.fRtsControl = rtsCode(dcb.rtsControl);
    n.fDsrSensitivity = FALSE;
    n.fTXContinueOnXoff = FALSE;
    n.fOutX = dcb.outX;
    n.fInX = dcb.inX;
    // Bytes with a parity error are handed over as received; the error itself is reported
    // through the line error word.
    n.fErrorChar = FALSE;
    n.fNull = FALSE;
    n.fAbortOnError = FALSE;
    n.XonLim = static_cast<WORD>(dcb.xonLim);
    n.XoffLim = static_cast<WORD>(dcb.xoffLim);
    n.XonChar = dcb.xonChar;
    n.XoffChar = dcb.xoffChar;
    n.ErrorChar = dcb.errorChar;
    block = n;
    return true;
}

void commDcbFromWin32Dcb(const DCB& block, CommDcb& dcb) {
    dcb.baudRate = static_cast<int>(block.BaudRate);
    dcb.byteSize = block.ByteSize;
    dcb.parity = block.Parity == ODDPARITY    ? cpbOdd
                 : block.Parity == EVENPARITY ? cpbEven
                                              : cpbNone;
    dcb.stopBits = block.StopBits == ONE5STOPBITS  ? csb1p5
                   : block.StopBits == TWOSTOPBITS ? csb2
                                                   : csb1;
    dcb.binary = block.fBinary;
    dcb.parityCheck = block.fParity;
    dcb.outxCtsFlow = block.fOutxCtsFlow;
    dcb.outxDsrFlow = block.fOutxDsrFlow;
    dcb.dtrControl = block.fDtrControl == DTR_CONTROL_DISABLE     ? CommDtrControl::Disable
                     : block.fDtrControl == DTR_CONTROL_HANDSHAKE ? CommDtrControl::Handshake
                                                                  : CommDtrControl::Enable;
    dcb.rtsControl = block.fRtsControl == RTS_CONTROL_DISABLE     ? CommRtsControl::Disable
                     : block.fRtsControl == RTS_CONTROL_HANDSHAKE ? CommRtsControl::Handshake
                                                                  : CommRtsControl::Enable;
    dcb.outX = block.fOutX;
    dcb.inX = block.fInX;
    dcb.xonLim = block.XonLim;
    dcb.xoffLim = block.XoffLim;
    dcb.xonChar = block.XonChar;
    dcb.xoffChar = block.XoffChar;
    dcb.errorChar = block.ErrorChar;
}

COMMTIMEOUTS win32Timeouts(const CommTimeouts& timeouts) {
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = MAXDWORD;
    t.ReadTotalTimeoutMultiplier = 0;
    t.ReadTotalTimeoutConstant = 0;
    t.WriteTotalTimeoutMultiplier = timeouts.writeMultiplier;
    t.WriteTotalTimeoutConstant = timeouts.writeConstant;
    return t;
}

}  // namespace qpane
