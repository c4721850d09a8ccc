// What the console keeps of a stream that never ends its lines, or that brings more lines
// than the board can show: the logs keep a bounded part, a line that will be queued is kept
// whole, and the passes still to show wait in the store.
#include <gtest/gtest.h>

#include "store/query.h"
#include "window_harness.h"

namespace qpane::testing {
namespace {

constexpr size_t kLogLineBytes = 4000 + 2;  // the head and the tail that a log line keeps

size_t longestLine(const LineList& list) {
    size_t longest = 0;
    for (size_t i = 0; i < list.count(); ++i)
        longest = std::max(longest, list.line(i).size());
    return longest;
}

// Bytes in events of 2048, as a serial driver hands them over.
void receive(WindowHarness& h, const std::string& bytes) {
    for (size_t i = 0; i < bytes.size(); i += 2048)
        h.rx(1, std::string_view(bytes).substr(i, 2048));
}

// 7 and 16 are no pattern: the queue stays as the intake left it.
WindowHarness buffered(const char* pattern) {
    return WindowHarness({{"Portno", "1"}, {"Disppt", pattern}, {"Gmode", "B"}});
}

TEST(IntakeBounds, BufferedCrossRunWithoutLineEndKeepsTheComingQueueLineWholeAndLogsItsEnds) {
    WindowHarness h = buffered("16");
    h.start();
    h.apply();
    const std::string run =
        "\x02"
        "C1" +
        std::string(1 << 20, '7');
    receive(h, run);
    EXPECT_TRUE(h.w().rxLine == run);  // the next queue line, if a line end comes
    ASSERT_EQ(h.w().Memo1.count(), 1u);
    const std::string& logged = h.w().Memo1.line(0);
    ASSERT_EQ(logged.size(), kLogLineBytes);
    EXPECT_EQ(logged.substr(0, 4000), run.substr(0, 4000));
    EXPECT_EQ(logged.substr(4000), "77");

    h.rx(1, "\x03@");
    ASSERT_EQ(h.w().Memo2.count(), 1u);
    EXPECT_TRUE(h.w().Memo2.line(0) == run.substr(1) + "\x03");
    EXPECT_EQ(h.w().Memo4.line(0).size(), kLogLineBytes);
    EXPECT_EQ(h.w().Memo4.line(0).substr(4000), "7\x03");
    EXPECT_LE(longestLine(h.w().Memo1), kLogLineBytes);
    EXPECT_TRUE(h.w().rxLine.empty());
}

TEST(IntakeBounds, BufferedCrossRunThatNoQueueTakesKeepsOnlyWhatTheLogsKeep) {
    WindowHarness h = buffered("16");
    h.start();
    h.apply();
    const std::string run =
        "\x02"
        "CA" +
        std::string(1 << 20, '7') + "xy";
    receive(h, run);
    EXPECT_EQ(h.w().rxLine.size(), 1 + kLogLineBytes);
    h.rx(1, "\x03");
    EXPECT_EQ(h.w().Memo2.count(), 0u);
    ASSERT_EQ(h.w().Memo4.count(), 1u);
    EXPECT_EQ(h.w().Memo4.line(0), run.substr(1, 4000) + "y\x03");
}

TEST(IntakeBounds, BufferedLineLogKeepsItsNewestThousandLines) {
    WindowHarness h = buffered("16");
    h.start();
    h.apply();
    std::string bytes;
    for (int i = 0; i < 1200; ++i) {
        char line[32];
        std::snprintf(line, sizeof line,
                      "\x02"
                      "C1%04d\x03@",
                      i);
        bytes += line;
    }
    receive(h, bytes);
    ASSERT_EQ(h.w().Memo4.count(), 1000u);
    EXPECT_EQ(h.w().Memo4.line(0), "C10200\x03");
    EXPECT_EQ(h.w().Memo4.line(999), "C11199\x03");
    EXPECT_EQ(h.w().Memo2.count(), 1200u);  // every queued line stays for the routine
}

TEST(IntakeBounds, DirectLineBeingWrittenStaysWholeAndIsCutOnceQueued) {
    WindowHarness h({{"Portno", "1"}, {"Disppt", "16"}, {"Gmode", "D"}});
    h.start();
    h.apply();
    const std::string line = "C1" + std::string(100000, '9');
    receive(h, "\x02" + line);
    EXPECT_TRUE(h.w().Memo1.lastLine() == line);
    h.rx(1, "\x03");
    ASSERT_EQ(h.w().Memo2.count(), 1u);
    EXPECT_TRUE(h.w().Memo2.line(0) == line);
    EXPECT_EQ(h.w().Memo1.lastLine().size(), kLogLineBytes);
}

TEST(IntakeBounds, BufferedAlpineSeesTheEndOfALongRunAndKeepsLittleOfIt) {
    WindowHarness h = buffered("7");
    h.start();
    h.apply();
    // A line of code "CA" is never emptied from rxLine: only its code is read.
    h.rx(1,
         "\x02"
         "CA1012@");
    receive(h, std::string(1 << 20, 'x'));
    EXPECT_LE(h.w().rxLine.size(), 4000u);
    EXPECT_EQ(h.w().rxLine.substr(0, 4),
              "\x02"
              "CA1");
    EXPECT_LE(longestLine(h.w().Memo1), kLogLineBytes);
    EXPECT_FALSE(h.w().bufferBusy);
    // The end of the device's buffer is still seen at the end of the long log line.
    h.rx(1, "A");
    h.rx(1, "A");
    EXPECT_TRUE(h.w().bufferBusy);
}

TEST(IntakeBounds, BacklogOfPassesWaitsInTheStoreNotInTheDisplayQuery) {
    WindowHarness h({{"Portno", "1"}, {"Disppt", "11"}, {"Gmode", "D"}, {"WTime", "1"}});
    h.start();
    h.apply();
    std::string bytes;
    for (int i = 0; i < 200; ++i) {
        char line[32];
        std::snprintf(line, sizeof line,
                      "\x02"
                      "C11%03d00:01:%02d.00\x03",
                      1 + i, i % 60);
        bytes += line;
    }
    receive(h, bytes);
    h.wait(4000);  // the cycle stores them; the display shows the first ones
    const auto waiting = h.sql("select count(*) from crosst where sumi='0'");
    ASSERT_GE(std::stoi(waiting[0]), 150);
    EXPECT_EQ(h.w().Qcross.rowCount(), 1);
    // The passes are shown oldest first, as before.
    const int lastShown = std::stoi(h.sql("select max(uc) from crosst where sumi='1'")[0]);
    EXPECT_GE(lastShown, 2);
    EXPECT_EQ(std::stoi(h.sql("select min(uc) from crosst where sumi='0'")[0]), lastShown + 1);
}

}  // namespace
}  // namespace qpane::testing
