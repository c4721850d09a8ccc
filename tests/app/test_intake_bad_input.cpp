// The intake with input that no timing device should send: every outcome is defined, nothing
// crashes or hangs, and an event costs what it reads.
#include <gtest/gtest.h>

#include <random>

#include "window_harness.h"

namespace qpane::testing {
namespace {

std::string randomBytes(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(byte(gen));
    return s;
}

struct Procedure {
    const char* name;
    const char* pattern;  // 7 and 16 are no pattern: the queue stays as the intake left it
    const char* mode;
};

class IntakeBadInput : public ::testing::TestWithParam<Procedure> {};

TEST_P(IntakeBadInput, MegabyteOfRandomBytesKeepsLogsBounded) {
    const Procedure p = GetParam();
    WindowHarness h({{"Portno", "1"}, {"Disppt", p.pattern}, {"Gmode", p.mode}});
    h.start();
    h.apply();
    ASSERT_TRUE(h.w().port1Open);
    const std::string junk = randomBytes(1 << 20, 7);
    for (size_t i = 0; i < junk.size(); i += 4096) {
        h.rx(1, std::string_view(junk).substr(i, 4096));
        h.w().bufferBusy = false;  // a pattern routine would clear it after its pass
    }
    EXPECT_LE(h.w().Memo1.count(), 18u);
    EXPECT_EQ(h.hub().waiting(1), 0);  // every byte was read
    // The queue holds only lines the procedure accepts; each of them came from the junk.
    for (size_t i = 0; i < h.w().Memo2.count(); ++i)
        EXPECT_LE(h.w().Memo2.line(i).size(), junk.size());
    EXPECT_TRUE(h.boxes().errors.empty());
}

INSTANTIATE_TEST_SUITE_P(AllFourProcedures, IntakeBadInput,
                         ::testing::Values(Procedure{"AlpineBuffered", "7", "B"},
                                           Procedure{"AlpineDirect", "7", "D"},
                                           Procedure{"CrossDirect", "16", "D"},
                                           Procedure{"CrossBuffered", "16", "B"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IntakeOddBytes, LineFarLongerThanAnyTimingLineIsQueuedWhole) {
    WindowHarness h({{"Portno", "1"}, {"Disppt", "7"}});
    h.start();
    h.apply();
    const std::string longLine = "C1" + std::string(100000, '9');
    h.rx(1, "\x02" + longLine + "\x03");
    ASSERT_EQ(h.w().Memo2.count(), 1u);
    EXPECT_EQ(h.w().Memo2.line(0), longLine);
}

TEST(IntakeOddBytes, FramingBytesInOddPlacesDirectAlpine) {
    WindowHarness h({{"Portno", "1"}, {"Disppt", "7"}});
    h.start();
    h.apply();
    // STX in the middle is dropped; a CR is an ordinary byte of the line; "@@" queues an
    // empty line; bytes outside STX/ETX join the next line.
    h.rx(1,
         "xy\x02"
         "C1\x02"
         "1012\r00:01:23.45\x03@@\x03");
    ASSERT_EQ(h.w().Memo2.count(), 4u);
    EXPECT_EQ(h.w().Memo2.line(0), "xyC11012\r00:01:23.45");
    EXPECT_EQ(h.w().Memo2.line(1), "");
    EXPECT_EQ(h.w().Memo2.line(2), "");
    EXPECT_EQ(h.w().Memo2.line(3), "");
}

TEST(IntakeOddBytes, CrLfFromTheDeviceSplitsTheLogLikeAnyLineBreak) {
    WindowHarness h({{"Portno", "1"}, {"Disppt", "7"}});
    h.start();
    h.apply();
    h.rx(1,
         "\x02"
         "C1101200:01:23.45\x03\r\n\x02"
         "C1101300:01:24.45\x03");
    ASSERT_EQ(h.w().Memo2.count(), 2u);
    EXPECT_EQ(h.w().Memo2.line(0), "C1101200:01:23.45");
    // The CR LF after ETX made an empty log line; the next line follows it.
    EXPECT_EQ(h.w().Memo2.line(1), "C1101300:01:24.45");
}

TEST(IntakeWhileBusy, BytesWaitInThePortUntilThePassEnds) {
    WindowHarness h({{"Portno", "1"}, {"Disppt", "7"}, {"Gmode", "B"}});
    h.start();
    h.apply();
    h.w().bufferBusy = true;
    h.rx(1,
         "\x02"
         "C1101200:01:23.45\r");
    EXPECT_EQ(h.hub().waiting(1), 19);
    EXPECT_EQ(h.w().Memo1.count(), 0u);
    h.w().bufferBusy = false;
    h.rx(1, "");  // the next arrival reads what waited
    h.rx(1, "\xC1");
    EXPECT_EQ(h.hub().waiting(1), 0);
    EXPECT_EQ(h.w().Memo2.line(0),
              "\x02"
              "C1101200:01:23.45");
}

TEST(IntakeDeviceGone, UnpluggedInTheMiddleOfALineLosesNoQueuedLine) {
    WindowHarness h({{"Portno", "1"}, {"Disppt", "7"}});
    h.start();
    h.apply();
    h.rx(1,
         "\x02"
         "C1101200:01:23.45\x03\x02"
         "C11013");
    h.hub().unplug(1);
    h.rx(1, "00:01:24.45\x03");  // never arrives
    h.wait(1000);
    // The operator is told at once; the window goes on.
    ASSERT_EQ(h.boxes().errors.size(), 1u);
    EXPECT_NE(h.boxes().errors[0].find("COM1 との接続が切れました"), std::string::npos);
    ASSERT_EQ(h.w().Memo2.count(), 1u);
    EXPECT_EQ(h.w().Memo2.line(0), "C1101200:01:23.45");
    // The window goes on: a new apply reports the port that cannot be opened.
    h.apply();
    EXPECT_FALSE(h.w().port1Open);
    ASSERT_FALSE(h.boxes().messages.empty());
    EXPECT_EQ(h.boxes().messages.back(),
              "指定された第一ポートが有効ではありません。ポートを確認してください。");
}

}  // namespace
}  // namespace qpane::testing
