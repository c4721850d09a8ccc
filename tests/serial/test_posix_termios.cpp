#include <gtest/gtest.h>

#include "serial/comm_settings.h"
#include "serial/posix/posix_termios.h"

namespace qpane {
namespace {

termios cooked() {
    termios t{};
    t.c_iflag = ICRNL | IXON | ISTRIP | INPCK;
    t.c_oflag = OPOST | ONLCR;
    t.c_lflag = ICANON | ECHO | ISIG;
    t.c_cflag = CS8 | HUPCL | PARENB | CSTOPB;
    return t;
}

TEST(Termios, TimingLineSevenEvenOneInRawMode) {
    CommDcb dcb;
    dcb.baudRate = 9600;
    dcb.byteSize = 7;
    dcb.parity = cpbEven;
    dcb.stopBits = csb1;
    setFlowFlags(dcb, cfcRtsCts, 2048);
    termios t = cooked();
    ASSERT_TRUE(termiosFromDcb(dcb, t));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS7));
    EXPECT_TRUE(t.c_cflag & PARENB);
    EXPECT_FALSE(t.c_cflag & PARODD);
    EXPECT_FALSE(t.c_cflag & CSTOPB);
    EXPECT_TRUE(t.c_cflag & CRTSCTS);
    EXPECT_TRUE((t.c_cflag & (CREAD | CLOCAL)) == (CREAD | CLOCAL));
    EXPECT_FALSE(t.c_cflag & HUPCL);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B9600));
    EXPECT_EQ(cfgetispeed(&t), static_cast<speed_t>(B9600));
    // Bytes pass as received: no editing, echo, translation, stripping or software flow.
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(t.c_oflag & OPOST);
    EXPECT_FALSE(t.c_iflag & (ICRNL | ISTRIP | IXON | IXOFF | INPCK));
    EXPECT_EQ(t.c_cc[VMIN], 1);
    EXPECT_EQ(t.c_cc[VTIME], 0);
}

TEST(Termios, BoardLineAndOtherSettings) {
    CommDcb dcb;
    dcb.baudRate = 2400;
    dcb.parity = cpbOdd;
    dcb.stopBits = csb1p5;  // no such setting: two
    setFlowFlags(dcb, cfcXonXoff, 2048);
    termios t = cooked();
    ASSERT_TRUE(termiosFromDcb(dcb, t));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_TRUE(t.c_cflag & PARODD);
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_FALSE(t.c_cflag & CRTSCTS);
    EXPECT_TRUE(t.c_iflag & IXON);
    EXPECT_TRUE(t.c_iflag & IXOFF);
    EXPECT_EQ(t.c_cc[VSTART], 0x11);
    EXPECT_EQ(t.c_cc[VSTOP], 0x13);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B2400));
}

TEST(Termios, ValuesThatCannotBeExpressedLeaveTheSettingsAlone) {
    const termios before = cooked();
    for (auto change :
         {+[](CommDcb& d) { d.baudRate = 12345; }, +[](CommDcb& d) { d.baudRate = -1; },
          +[](CommDcb& d) { d.byteSize = 9; }, +[](CommDcb& d) { d.byteSize = 4; }}) {
        CommDcb dcb;
        change(dcb);
        termios t = before;
        EXPECT_FALSE(termiosFromDcb(dcb, t));
        EXPECT_EQ(t.c_cflag, before.c_cflag);
        EXPECT_EQ(t.c_lflag, before.c_lflag);
    }
}

TEST(Termios, SettingsReadBackAsControlBlock) {
    CommDcb dcb;
    dcb.baudRate = 19200;
    dcb.byteSize = 7;
    dcb.parity = cpbOdd;
    dcb.stopBits = csb2;
    setFlowFlags(dcb, cfcRtsCts, 2048);
    termios t = cooked();
    ASSERT_TRUE(termiosFromDcb(dcb, t));
    CommDcb back;
    dcbFromTermios(t, back);
    EXPECT_EQ(back.baudRate, 19200);
    EXPECT_EQ(back.byteSize, 7);
    EXPECT_EQ(back.parity, cpbOdd);
    EXPECT_EQ(back.stopBits, csb2);
    EXPECT_TRUE(back.outxCtsFlow);
    termios other = t;
    EXPECT_TRUE(lineSettingsMatch(t, other));
    other.c_cflag &= ~PARENB;
    EXPECT_FALSE(lineSettingsMatch(t, other));
}

}  // namespace
}  // namespace qpane
