#include <gtest/gtest.h>
#include <termios.h>

#include <vector>

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

// A pseudo-terminal tells at once that its far end went away.
TEST_F(PtyPort, FarEndGoingAwayMidStreamIsReportedOnce) {
    std::string got;
    std::atomic<size_t> count{0};
    collectInto(got, count);
    std::vector<uint32_t> errors;
    std::atomic<int> errorCount{0};
    std::atomic<bool> offThread{false};
    port->OnError = [&](TCustomCommX&, uint32_t e) {
        if (!ui.onLoopThread()) offThread = true;
        errors.push_back(e);
        ++errorCount;
    };
    open();
    const std::string text = pattern(20000);
    peer.send(text.substr(0, 5000));
    ASSERT_TRUE(waitUntil([&] { return count == 5000; }));
    peer.send(text.substr(5000, 100));
    peer.hangUp();
    ASSERT_TRUE(waitUntil([&] { return errorCount > 0; }));
    ui.run([&] {
        EXPECT_FALSE(port->SendString("x"));
        EXPECT_EQ(port->ReadByte(), -1);
        EXPECT_TRUE(port->IsOpen());
    });
    std::this_thread::sleep_for(50ms);
    ui.run([&] {
        EXPECT_EQ(errors, (std::vector<uint32_t>{kCommErrIo}));
        // What arrived before is kept, in order (the kernel drops what was still unread in
        // the line when the far end went away).
        EXPECT_GE(got.size(), 5000u);
        EXPECT_EQ(got, text.substr(0, got.size()));
        port->Close();
        EXPECT_FALSE(port->IsOpen());
    });
    EXPECT_FALSE(offThread);
}

}  // namespace
}  // namespace qpane
