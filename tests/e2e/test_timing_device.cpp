// The bytes of the timing device's forms, answer by answer, as the README documents them.
#include <gtest/gtest.h>

#include "line_settings.h"
#include "timing_device.h"

namespace qpane::sim {
namespace {

const std::string kLine1 = "C1000100:01:24.17";
const std::string kLine2 = "C1000200:01:29.98";
const std::string kPoll = "\xC1";

TEST(TimingDeviceDirect, SendsEachLineFramedAtOnceAndIgnoresPolls) {
    for (RaceKind kind : {RaceKind::Alpine, RaceKind::Cross}) {
        TimingDevice device(DeviceMode::Direct, kind);
        EXPECT_EQ(device.take(kLine1), "\x02" + kLine1 + "\x03");
        EXPECT_EQ(device.poll(), "");
        EXPECT_TRUE(device.idle());
    }
}

TEST(TimingDeviceBufferedAlpine, IdleDeviceAnswersEachPollWithThePollByte) {
    TimingDevice device(DeviceMode::Buffered, RaceKind::Alpine);
    EXPECT_EQ(device.poll(), kPoll);
    EXPECT_EQ(device.poll(), kPoll);
    EXPECT_TRUE(device.idle());
}

TEST(TimingDeviceBufferedAlpine, BatchIsOneLinePerPollThenTwoPollBytes) {
    TimingDevice device(DeviceMode::Buffered, RaceKind::Alpine);
    EXPECT_EQ(device.take(kLine1), "");
    EXPECT_EQ(device.take(kLine2), "");
    EXPECT_EQ(device.heldLines(), 2u);
    // The first line goes out behind a line end of its own.
    EXPECT_EQ(device.poll(), "\r\x02" + kLine1 + "\r");
    EXPECT_EQ(device.poll(), "\x02" + kLine2 + "\r");
    EXPECT_FALSE(device.idle());
    EXPECT_EQ(device.poll(), kPoll + kPoll);
    EXPECT_TRUE(device.idle());
    EXPECT_EQ(device.poll(), kPoll);
}

TEST(TimingDeviceBufferedAlpine, LineThatComesDuringABatchJoinsItAndTheNextBatchStartsAfresh) {
    TimingDevice device(DeviceMode::Buffered, RaceKind::Alpine, '@');
    device.take(kLine1);
    EXPECT_EQ(device.poll(), "@\x02" + kLine1 + "@");
    device.take(kLine2);
    EXPECT_EQ(device.poll(), "\x02" + kLine2 + "@");
    EXPECT_EQ(device.poll(), kPoll + kPoll);
    device.take(kLine1);
    EXPECT_EQ(device.poll(), "@\x02" + kLine1 + "@");
}

TEST(TimingDeviceBufferedCross, PollGetsEveryHeldLineBehindOneAt) {
    TimingDevice device(DeviceMode::Buffered, RaceKind::Cross);
    EXPECT_EQ(device.poll(), kPoll);
    device.take(kLine1);
    device.take(kLine2);
    EXPECT_EQ(device.poll(), "@\x02" + kLine1 + "\x03@\x02" + kLine2 + "\x03@");
    EXPECT_TRUE(device.idle());
    EXPECT_EQ(device.poll(), kPoll);
}

TEST(LineSettings, SevenDataBitsCarryNoEighthBit) {
    const LineSettings seven{9600, 7, Parity::Even};
    const LineSettings eight{9600, 8, Parity::None};
    EXPECT_EQ(carried(seven, kPoll + kPoll), "AA");
    EXPECT_EQ(carried(eight, kPoll), kPoll);
    EXPECT_EQ(carried(seven, "\x02" + kLine1 + "\r"), "\x02" + kLine1 + "\r");
    EXPECT_EQ(seven.text(), "9600 7E1");
}

TEST(BadLine, EveryHitFlipsExactlyOneDataBitAndASeedRepeatsTheRun) {
    const std::string clean(2000, 'A');
    BadLine line(0.25, 42);
    const std::string noisy = line.pass(clean, 7);
    int hits = 0;
    for (size_t i = 0; i < clean.size(); ++i) {
        const unsigned diff = static_cast<unsigned char>(clean[i] ^ noisy[i]);
        if (diff == 0) continue;
        ++hits;
        EXPECT_EQ(diff & (diff - 1), 0u) << "more than one bit at " << i;
        EXPECT_LT(diff, 0x80u) << "the eighth bit is no data bit of a 7-bit line";
    }
    EXPECT_EQ(static_cast<uint64_t>(hits), line.errors());
    EXPECT_GT(hits, 400);
    EXPECT_LT(hits, 600);
    EXPECT_EQ(BadLine(0.25, 42).pass(clean, 7), noisy);
    EXPECT_EQ(BadLine(0, 42).pass(clean, 7), clean);
}

}  // namespace
}  // namespace qpane::sim
