#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/virtual/virtual_scheduler.h"
#include "serial/commx.h"
#include "serial/simulated/simulated_port_hub.h"

namespace qpane {
namespace {

// Writes what the trace sees as lines "time what", the way the replay transcript does.
class LogTrace final : public CommTrace {
  public:
    explicit LogTrace(const Scheduler& s) : s_(s) {}
    void opened(const TCustomCommX& p) override { add("open", p); }
    void openFailed(const TCustomCommX& p) override { add("openfail", p); }
    void configChanged(const TCustomCommX& p) override { add("config", p); }
    void closed(const TCustomCommX& p) override { add("close", p); }
    void transmitted(const TCustomCommX& p, std::string_view bytes) override {
        add("tx", p, bytes);
    }
    void received(const TCustomCommX& p, std::string_view bytes) override { add("rx", p, bytes); }
    std::vector<std::string> lines;

  private:
    void add(const char* what, const TCustomCommX& p, std::string_view bytes = {}) {
        std::string line =
            std::to_string(s_.now()) + " " + what + " COM" + std::to_string(p.PortNo());
        if (!bytes.empty()) line += " " + std::string(bytes);
        lines.push_back(line);
    }
    const Scheduler& s_;
};

using Lines = std::vector<std::string>;

std::string errorText(const std::function<void()>& f) {
    try {
        f();
    } catch (const ECommError& e) {
        return e.what();
    }
    return "(no error)";
}

class SimulatedPort : public ::testing::Test {
  protected:
    VirtualScheduler sched;
    SimulatedPortHub hub;
    LogTrace trace{sched};
    TCommX port{sched, hub};
    void SetUp() override { port.setTrace(&trace); }
};

TEST_F(SimulatedPort, NewComponentHasTheDefaults) {
    EXPECT_EQ(port.PortNo(), 1);
    EXPECT_EQ(port.BitRate(), 9600);
    EXPECT_EQ(port.CharSize(), 8);
    EXPECT_EQ(port.ParityBit(), cpbNone);
    EXPECT_EQ(port.StopBit(), csb1);
    EXPECT_EQ(port.FlowCtrl(), cfcRtsCts);
    EXPECT_EQ(port.TimeOutTrans(), 3000);
    EXPECT_EQ(port.TimeOutReceive(), 3000);
    EXPECT_EQ(port.BufLenTrans(), 2048);
    EXPECT_EQ(port.BufLenReceive(), 2048);
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(SimulatedPort, OpenAndCloseTakeTheirWaitsInVirtualTime) {
    port.SetPortNo(2);
    port.Close();  // closed: no time, nothing reported
    port.Open();
    EXPECT_TRUE(hub.isOpen(2));
    sched.advance(50);
    port.Close();
    port.Close();
    EXPECT_FALSE(hub.isOpen(2));
    EXPECT_EQ(trace.lines, (Lines{"100 open COM2", "351 close COM2"}));
}

TEST_F(SimulatedPort, FailedOpeningTakesNoTimeAndKeepsPortClosed) {
    hub.setFailing(4, true);
    port.SetPortNo(4);
    EXPECT_EQ(errorText([&] { port.Open(); }), "ポートをオープンできませんでした");
    EXPECT_FALSE(port.IsOpen());
    hub.setFailing(4, false);
    port.Open();
    EXPECT_EQ(trace.lines, (Lines{"0 openfail COM4", "100 open COM4"}));
}

TEST_F(SimulatedPort, SecondOpenFailsAndLeavesFirstOpeningIntact) {
    port.Open();
    EXPECT_EQ(errorText([&] { port.Open(); }), "ポートは、すでにオープンされています");
    EXPECT_TRUE(port.IsOpen());
    EXPECT_TRUE(port.SendString("A1"));
    hub.push(1, "x");
    EXPECT_EQ(port.ReadByte(), 'x');
    EXPECT_EQ(hub.written(1), "A1");
    EXPECT_EQ(sched.now(), 100);
}

TEST_F(SimulatedPort, DeviceOpenInOneComponentFailsInTheOther) {
    TCommX other(sched, hub);
    port.Open();
    EXPECT_EQ(errorText([&] { other.Open(); }), "ポートをオープンできませんでした");
    port.Close();
    other.Open();
    EXPECT_TRUE(other.IsOpen());
}

TEST_F(SimulatedPort, PushRaisesReceiveWithEverythingWaiting) {
    std::vector<int> sizes;
    std::string read;
    port.OnReceive = [&](TCustomCommX& sender, int size) {
        EXPECT_EQ(&sender, &port);
        sizes.push_back(size);
        for (int i = 0; i < 2; ++i)
            read += static_cast<char>(sender.ReadByte());
    };
    hub.push(1, "lost");  // not open: dropped
    port.Open();
    EXPECT_EQ(port.InQueueCount(), 0);
    hub.push(1, "abcde");
    hub.push(1, "fg");
    EXPECT_EQ(sizes, (std::vector<int>{5, 5}));
    EXPECT_EQ(read, "abcd");
    EXPECT_EQ(port.InQueueCount(), 3);
    EXPECT_EQ(trace.lines, (Lines{"100 open COM1", "100 rx COM1 a", "100 rx COM1 b",
                                  "100 rx COM1 c", "100 rx COM1 d"}));
}

TEST_F(SimulatedPort, WithoutReceiveHandlerBytesWait) {
    port.Open();
    hub.push(1, "\x02T1\x03");
    char buf[8] = {};
    EXPECT_EQ(port.Read(buf, 8), 4);  // a short read returns at once with what waits
    EXPECT_EQ(std::string(buf, 4), "\x02T1\x03");
    EXPECT_EQ(port.Read(buf, 8), 0);
    EXPECT_EQ(port.ReadByte(), -1);
    EXPECT_EQ(port.Read(nullptr, 1), -1);
    EXPECT_EQ(sched.now(), 100);
}

TEST_F(SimulatedPort, ReadByteAndInQueueCountOnClosedPort) {
    EXPECT_EQ(port.ReadByte(), -1);
    EXPECT_EQ(port.InQueueCount(), 0);
    port.Open();
    hub.push(1, "\xFF");
    EXPECT_EQ(port.InQueueCount(), 1);
    EXPECT_EQ(port.ReadByte(), 255);
    port.Close();
    EXPECT_EQ(port.ReadByte(), -1);
}

TEST_F(SimulatedPort, WritesSplitIntoChunksAndPostTheirNotifications) {
    std::vector<int> trans;
    port.OnTrans = [&](TCustomCommX&, int size) { trans.push_back(size); };
    port.SetBufLenTrans(4);
    port.Open();
    std::string text = "0123456789";
    EXPECT_TRUE(port.SendString(text));
    EXPECT_EQ(hub.writes(1), (std::vector<std::string>{"0123", "4567", "89"}));
    EXPECT_TRUE(trans.empty());  // posted, not run inside the write
    sched.runPosted();
    EXPECT_EQ(trans, (std::vector<int>{4, 4, 2}));
    EXPECT_EQ(trace.lines.back(), "100 tx COM1 0123456789");
}

TEST_F(SimulatedPort, EmptyTextAndClosedPortWriteNothing) {
    EXPECT_FALSE(port.SendString("x"));
    EXPECT_FALSE(port.Write("x", 1));
    EXPECT_TRUE(port.Write(nullptr, 0));
    port.Open();
    EXPECT_TRUE(port.SendString(""));
    EXPECT_TRUE(port.Write("x", 0));
    EXPECT_FALSE(port.Write("x", -1));
    EXPECT_TRUE(hub.writes(1).empty());
    EXPECT_EQ(trace.lines, (Lines{"100 open COM1"}));
}

TEST_F(SimulatedPort, PropertiesSetWhileClosedAreAppliedByOpen) {
    port.SetBitRate(4800);
    port.SetCharSize(7);
    port.SetParityBit(cpbEven);
    port.SetStopBit(csb2);
    port.SetFlowCtrl(cfcNone);
    port.SetTimeOutTrans(1500);
    port.SetTimeOutReceive(700);
    port.SetBufLenReceive(400);
    port.SetBufLenTrans(64);
    EXPECT_TRUE(trace.lines.empty());
    port.Open();
    const CommDcb dcb = hub.state(1);
    EXPECT_EQ(dcb.baudRate, 4800);
    EXPECT_EQ(dcb.byteSize, 7);
    EXPECT_EQ(dcb.parity, cpbEven);
    EXPECT_EQ(dcb.stopBits, csb2);
    EXPECT_FALSE(dcb.outxCtsFlow);
    EXPECT_EQ(dcb.xonLim, 100);
    EXPECT_EQ(dcb.xoffLim, 300);
    EXPECT_EQ(dcb.xonChar, 0x11);
    EXPECT_EQ(dcb.xoffChar, 0x13);
    EXPECT_EQ(hub.timeouts(1).writeConstant, 1500u);
    EXPECT_EQ(hub.timeouts(1).readConstant, 700u);
    EXPECT_EQ(hub.timeouts(1).readInterval, CommTimeouts::kNoReadInterval);
    EXPECT_EQ(hub.inBufferSize(1), 400);
    EXPECT_EQ(hub.outBufferSize(1), 64);
    EXPECT_EQ(trace.lines, (Lines{"100 open COM1"}));
}

TEST_F(SimulatedPort, PropertiesSetWhileOpenAreAppliedAtOnce) {
    port.Open();
    port.SetBitRate(2400);
    EXPECT_EQ(hub.state(1).baudRate, 2400);
    port.SetBitRate(2400);  // no change: nothing applied or reported
    port.SetParityBit(cpbOdd);
    EXPECT_EQ(hub.state(1).parity, cpbOdd);
    port.SetFlowCtrl(cfcXonXoff);
    EXPECT_TRUE(hub.state(1).outX && hub.state(1).inX);
    port.SetBufLenReceive(800);
    EXPECT_EQ(hub.inBufferSize(1), 800);
    EXPECT_EQ(hub.state(1).xonLim, 200);  // the flow control follows the buffer
    port.SetTimeOutTrans(10);
    EXPECT_EQ(hub.timeouts(1).writeConstant, 10u);
    EXPECT_EQ(trace.lines, (Lines{"100 open COM1", "100 config COM1", "100 config COM1",
                                  "100 config COM1", "100 config COM1", "100 config COM1"}));
}

TEST_F(SimulatedPort, PortNoChangeOnOpenPortReopensOnTheNewDevice) {
    port.Open();
    port.SetPortNo(12);
    EXPECT_FALSE(hub.isOpen(1));
    EXPECT_TRUE(hub.isOpen(12));
    port.SendString("x");
    EXPECT_EQ(hub.written(12), "x");
    EXPECT_EQ(trace.lines,
              (Lines{"100 open COM1", "301 close COM1", "401 open COM12", "401 tx COM12 x"}));
}

TEST_F(SimulatedPort, FailedSettingRaisesItsTextAndKeepsTheValue) {
    port.Open();
    EXPECT_EQ(errorText([&] { port.SetBufLenTrans(0); }),
              "通信用ポートのバッファを準備できませんでした");
    EXPECT_EQ(port.BufLenTrans(), 0);
    EXPECT_TRUE(port.IsOpen());
    // Chunks of one byte rather than none, so the write still ends.
    EXPECT_TRUE(port.SendString("abc"));
    EXPECT_EQ(hub.writes(1), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(SimulatedPort, FailedSettingInsideOpenClosesTheDeviceAgain) {
    port.SetBufLenReceive(0);
    EXPECT_EQ(errorText([&] { port.Open(); }), "通信用ポートのバッファを準備できませんでした");
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(hub.isOpen(1));
    // No transmit thread yet, so no purge round: the two waits of Close only.
    EXPECT_EQ(trace.lines, (Lines{"200 openfail COM1"}));
}

TEST(SimulatedPortFlow, FlowControlSetsTheLines) {
    VirtualScheduler sched;
    SimulatedPortHub hub;
    TCommX port(sched, hub);
    port.SetFlowCtrl(cfcHalfHigh);
    port.Open();
    EXPECT_TRUE(hub.dtr(1));
    EXPECT_FALSE(hub.rts(1));  // raised only while sending
    port.SetFlowCtrl(cfcNone);
    EXPECT_TRUE(hub.rts(1));
    port.SetRts(false);
    EXPECT_FALSE(hub.rts(1));
    port.SetDtr(true);
    port.Close();
    EXPECT_FALSE(hub.dtr(1));  // Close drops both lines before it lets go
}

TEST_F(SimulatedPort, PurgeReceiveDiscardsWaitingBytes) {
    port.Open();
    hub.push(1, "12345");
    port.PurgeReceive();
    EXPECT_EQ(port.InQueueCount(), 0);
    port.PurgeTransmit();
    EXPECT_EQ(sched.now(), 101);  // one purge round
}

TEST_F(SimulatedPort, UnpluggedDeviceReportsErrorAndEndsTransfers) {
    std::vector<uint32_t> errors;
    port.OnError = [&](TCustomCommX&, uint32_t e) { errors.push_back(e); };
    port.Open();
    hub.unplug(1);
    EXPECT_EQ(errors, (std::vector<uint32_t>{kCommErrIo}));
    EXPECT_TRUE(port.IsOpen());
    EXPECT_FALSE(port.SendString("x"));
    EXPECT_EQ(port.ReadByte(), -1);
    port.Close();
    EXPECT_EQ(sched.now(), 301);
    EXPECT_EQ(errorText([&] { port.Open(); }), "ポートをオープンできませんでした");
    hub.setFailing(1, false);
    port.Open();
    EXPECT_TRUE(port.SendString("y"));
}

TEST_F(SimulatedPort, NotificationsOfAClosedOpeningAreDropped) {
    int trans = 0;
    port.OnTrans = [&](TCustomCommX&, int) { ++trans; };
    port.Open();
    port.SendString("x");
    port.Close();
    port.Open();
    sched.runPosted();
    EXPECT_EQ(trans, 0);
}

TEST_F(SimulatedPort, CloseInsideReceiveHandler) {
    port.OnReceive = [&](TCustomCommX& sender, int) { sender.Close(); };
    port.Open();
    hub.push(1, "x");
    EXPECT_FALSE(port.IsOpen());
    port.Open();
    EXPECT_TRUE(port.IsOpen());
}

TEST(SimulatedPortLifetime, DestructionClosesThePort) {
    VirtualScheduler sched;
    SimulatedPortHub hub;
    int trans = 0;
    {
        TCommX port(sched, hub);
        port.OnTrans = [&](TCustomCommX&, int) { ++trans; };
        port.Open();
        port.SendString("x");
    }
    EXPECT_FALSE(hub.isOpen(1));
    EXPECT_EQ(sched.now(), 301);
    sched.runPosted();  // the posted notification finds no component
    EXPECT_EQ(trans, 0);
}

}  // namespace
}  // namespace qpane
