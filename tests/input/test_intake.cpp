// The intake on its own: bytes from a simulated timing port become lines of the input log and
// the input queue, the buffered device is answered with polls, and the processing cycle is
// started when the queue has something for it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/intake.h"
#include "input/line_list.h"
#include "platform/controls.h"
#include "platform/virtual/virtual_scheduler.h"
#include "serial/commx.h"
#include "serial/simulated/simulated_port_hub.h"

namespace qpane {
namespace {

using Lines = std::vector<std::string>;

Lines linesOf(const LineList& list) {
    Lines lines;
    for (size_t i = 0; i < list.count(); ++i)
        lines.push_back(list.line(i));
    return lines;
}

class Intake : public ::testing::Test {
  protected:
    void SetUp() override {
        port.SetPortNo(1);
        port.Open();
        port.OnReceive = [this](TCustomCommX&, int size) {
            receiveTimingBytes(parts, state, settings, size);
        };
    }
    void use(int patternNo, std::string_view connMode, bool relay = false) {
        settings = {patternNo, connMode, relay};
    }
    void rx(std::string_view bytes) { hub.push(1, bytes); }

    VirtualScheduler scheduler;
    SimulatedPortHub hub;
    TCommX port{scheduler, hub};
    Controls controls;
    TimerControl Timer1{controls, "Timer1", scheduler, TimerId::Timer1, 500, false};
    LineList Memo1, Memo2, Memo4;
    std::string sendText;
    IntakeParts parts{port, Memo1, Memo2, Memo4, Timer1, sendText};
    IntakeState state;
    IntakeSettings settings;
};

TEST_F(Intake, DirectAlpineQueuesTimingLinesAndLogsEveryLine) {
    use(1, "D");
    rx("\x02"
       "C1101200:01:23.45\x03\x02"
       "CA1013\x03\x02"
       "CS1014\x03\x02"
       "C21015\x03");
    // Start and stop announcements are logged, not queued; the framing bytes are neither.
    EXPECT_EQ(linesOf(Memo1), (Lines{"C1101200:01:23.45", "CA1013", "CS1014", "C21015"}));
    EXPECT_EQ(linesOf(Memo2), (Lines{"C1101200:01:23.45", "C21015"}));
    EXPECT_TRUE(Timer1.Enabled());
    EXPECT_EQ(hub.written(1), "");  // the direct device is never polled
}

TEST_F(Intake, DirectCrossQueuesTheCodesOfTheBlockOrOfTheRelay) {
    const std::string race =
        "\x02"
        "CA1\x03\x02"
        "CB2\x03\x02"
        "CF3\x03\x02"
        "CG4\x03\x02"
        "C15\x03\x02"
        "CT6\x03";
    use(11, "D");
    rx(race);
    EXPECT_EQ(linesOf(Memo2), (Lines{"CA1", "CB2", "CF3", "CG4", "C15"}));
    Memo2.clear();
    use(15, "D", /*relay=*/true);
    rx(race);
    EXPECT_EQ(linesOf(Memo2), (Lines{"CA1", "CF3", "CG4", "C15", "CT6"}));
    EXPECT_TRUE(Timer1.Enabled());
}

TEST_F(Intake, BufferedAlpineAnswersEachLineWithAPollAndStopsReadingForThePass) {
    use(1, "B");
    rx("\x02"
       "C1101200:01:23.45\r");
    EXPECT_EQ(hub.written(1), "\xC1");
    EXPECT_EQ(sendText, "\xC1");
    EXPECT_EQ(state.rxLine, "");  // a timing line is not kept in rxLine
    EXPECT_FALSE(Timer1.Enabled());
    // Two polls answered with nothing: the device has sent its batch.
    rx("\xC1\xC1");
    EXPECT_TRUE(state.bufferBusy);
    EXPECT_TRUE(Timer1.Enabled());
    EXPECT_EQ(Memo2.line(0),
              "\x02"
              "C1101200:01:23.45");
    // Until the pass frees the intake, what arrives waits in the port.
    rx("\x02"
       "C1101300:01:24.45\r");
    EXPECT_EQ(hub.waiting(1), 19);
    // Freed, the next arrival reads what waited with it.
    state.bufferBusy = false;
    rx("@");
    EXPECT_EQ(hub.waiting(1), 0);
    EXPECT_EQ(hub.written(1), "\xC1\xC1\xC1");
}

TEST_F(Intake, BufferedAlpineKeepsStartAndStopLinesInRxLine) {
    use(1, "B");
    rx("\x02"
       "CA1012@");
    EXPECT_EQ(state.rxLine,
              "\x02"
              "CA1012@");
}

TEST_F(Intake, BufferedCrossQueuesWithoutTheFirstByteAndLogsEveryLineInMemo4) {
    use(11, "B");
    rx("\x02"
       "CA1\x03\x02"
       "C1101200:01:23.45\x03@");
    EXPECT_EQ(linesOf(Memo4), (Lines{"CA1\x03", "C1101200:01:23.45\x03"}));
    EXPECT_EQ(linesOf(Memo2), (Lines{"C1101200:01:23.45\x03"}));
    EXPECT_EQ(state.rxLine, "");
    EXPECT_TRUE(Timer1.Enabled());
    EXPECT_EQ(hub.written(1), "");
}

TEST_F(Intake, InputLogKeepsItsNewestLinesAndDropsARunOfUnansweredPolls) {
    use(1, "D");
    for (int i = 0; i < 25; ++i)
        rx("\x02"
           "C1" +
           std::to_string(1000 + i) + "\x03");
    ASSERT_EQ(Memo1.count(), 18u);
    EXPECT_EQ(Memo1.line(0), "C11007");
    EXPECT_EQ(Memo2.count(), 25u);  // the queue is not trimmed

    // An empty queue: the polls do not end a batch.
    Memo1.clear();
    Memo2.clear();
    use(1, "B");
    rx(std::string(37, '\xC1'));
    EXPECT_EQ(Memo1.count(), 1u);
    rx("\xC1");  // the 38th: an idle device, not worth a line of the log
    EXPECT_EQ(Memo1.count(), 0u);
}

TEST_F(Intake, NoConnectionModeReadsNothing) {
    use(1, "");
    rx("\x02"
       "C1101200:01:23.45\x03");
    EXPECT_EQ(hub.waiting(1), 19);
    EXPECT_EQ(Memo1.count(), 0u);
}

TEST_F(Intake, DeviceGoneInTheMiddleOfAnEventKeepsWhatWasRead) {
    use(1, "D");
    rx("\x02"
       "C1101200:01:23.45\x03");
    hub.unplug(1);
    rx("\x02"
       "C1101300");  // nothing can be read any more
    EXPECT_EQ(linesOf(Memo2), (Lines{"C1101200:01:23.45"}));
}

TEST_F(Intake, PollSendsOnePollByte) {
    pollTimingDevice(port);
    EXPECT_EQ(hub.written(1), "\xC1");
}

}  // namespace
}  // namespace qpane
