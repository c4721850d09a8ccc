#include <gtest/gtest.h>
#include <termios.h>

#include "port_fixture.h"

// What the port's settings make of the termios of its device.
namespace qpane {
namespace {

TEST_F(PtyPort, PropertiesSetWhileClosedAreAppliedByOpenAndWhileOpenAtOnce) {
    ui.run([&] {
        port->SetBitRate(4800);
        port->SetStopBit(csb2);
        port->SetFlowCtrl(cfcXonXoff);
    });
    EXPECT_NE(cfgetospeed(&static_cast<const termios&>(peer.lineSettings())), B4800);
    open();
    termios t = peer.lineSettings();
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B4800));
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_TRUE(t.c_iflag & IXON);
    EXPECT_FALSE(t.c_lflag & ICANON);

    ui.run([&] {
        port->SetBitRate(19200);
        port->SetFlowCtrl(cfcRtsCts);
        // A pseudo-terminal keeps 8 bits without parity: the settings count as applied.
        port->SetCharSize(7);
        port->SetParityBit(cpbEven);
    });
    t = peer.lineSettings();
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B19200));
    EXPECT_TRUE(t.c_cflag & CRTSCTS);
    EXPECT_FALSE(t.c_iflag & IXON);

    ui.run([&] {
        EXPECT_EQ(errorText([&] { port->SetBitRate(12345); }),
                  "通信速度の設定でエラーが発生しました");
        EXPECT_EQ(port->BitRate(), 12345);
        EXPECT_TRUE(port->IsOpen());
        EXPECT_TRUE(port->SendString("still"));
    });
    EXPECT_EQ(peer.receive(5), "still");
}

}  // namespace
}  // namespace qpane
