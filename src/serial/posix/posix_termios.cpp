#include "serial/posix/posix_termios.h"

#include <iterator>

namespace qpane {

namespace {

struct Rate {
    int bitRate;
    speed_t speed;
};

constexpr Rate kRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

constexpr tcflag_t kLineBits = CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS;

}  // namespace

bool speedForBitRate(int bitRate, speed_t& speed) {
    for (const Rate& r : kRates) {
        if (r.bitRate == bitRate) {
            speed = r.speed;
            return true;
        }
    }
    return false;
}

bool termiosFromDcb(const CommDcb& dcb, termios& t) {
    speed_t speed;
    if (!speedForBitRate(dcb.baudRate, speed)) return false;
    tcflag_t size;
    switch (dcb.byteSize) {
        case 5: size = CS5; break;
        case 6: size = CS6; break;
        case 7: size = CS7; break;
        case 8: size = CS8; break;
        default: return false;
    }
    termios n = t;
    cfmakeraw(&n);
    // Bytes with a parity error are handed over as received, as the Windows driver does
    // without an error character; the error itself reaches OnError through the driver's
    // counts. A break is reported the same way instead of turning into a NUL byte.
    n.c_iflag &= ~(INPCK | PARMRK | IGNPAR | ISTRIP | BRKINT | IXON | IXOFF | IXANY);
    n.c_iflag |= IGNBRK;
    if (dcb.outX) n.c_iflag |= IXON;
    if (dcb.inX) n.c_iflag |= IXOFF;
    n.c_cc[VSTART] = static_cast<cc_t>(dcb.xonChar);
    n.c_cc[VSTOP] = static_cast<cc_t>(dcb.xoffChar);
    n.c_cc[VMIN] = 1;
    n.c_cc[VTIME] = 0;

    n.c_cflag &= ~(kLineBits | HUPCL);
    n.c_cflag |= size | CREAD | CLOCAL;
    if (dcb.parity != cpbNone) n.c_cflag |= PARENB;
    if (dcb.parity == cpbOdd) n.c_cflag |= PARODD;
    // termios has one or two stop bits; one and a half (which UARTs use only with five data
    // bits) maps to two.
    if (dcb.stopBits != csb1) n.c_cflag |= CSTOPB;
    // Linux has one switch for both directions of the hardware handshake. DTR/DSR has none:
    // the device keeps DTR up and the write waits for DSR itself.
    if (dcb.outxCtsFlow || dcb.rtsControl == CommRtsControl::Handshake) n.c_cflag |= CRTSCTS;

    cfsetispeed(&n, speed);
    cfsetospeed(&n, speed);
    t = n;
    return true;
}

bool lineSettingsMatch(const termios& wanted, const termios& actual) {
    return (wanted.c_cflag & kLineBits) == (actual.c_cflag & kLineBits) &&
           cfgetospeed(&wanted) == cfgetospeed(&actual) &&
           cfgetispeed(&wanted) == cfgetispeed(&actual);
}

void dcbFromTermios(const termios& t, CommDcb& dcb) {
    const speed_t speed = cfgetospeed(&t);
    for (const Rate& r : kRates)
        if (r.speed == speed) dcb.baudRate = r.bitRate;
    switch (t.c_cflag & CSIZE) {
        case CS5: dcb.byteSize = 5; break;
        case CS6: dcb.byteSize = 6; break;
        case CS7: dcb.byteSize = 7; break;
        default: dcb.byteSize = 8; break;
    }
    dcb.parity = !(t.c_cflag & PARENB) ? cpbNone : (t.c_cflag & PARODD) ? cpbOdd : cpbEven;
    dcb.stopBits = (t.c_cflag & CSTOPB) ? csb2 : csb1;
    dcb.outxCtsFlow = (t.c_cflag & CRTSCTS) != 0;
    dcb.rtsControl = dcb.outxCtsFlow ? CommRtsControl::Handshake : CommRtsControl::Enable;
    dcb.outX = (t.c_iflag & IXON) != 0;
    dcb.inX = (t.c_iflag & IXOFF) != 0;
    dcb.xonChar = static_cast<char>(t.c_cc[VSTART]);
    dcb.xoffChar = static_cast<char>(t.c_cc[VSTOP]);
}

}  // namespace qpane
