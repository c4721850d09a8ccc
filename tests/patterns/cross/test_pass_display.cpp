// The pass display step of the library: the oldest pass row still to be shown is drawn in
// the layout of the pattern, sent at the pattern's pace, logged, marked shown and held.
#include "board/board_lines.h"
#include "cross_patterns.h"
#include "platform/convert.h"

namespace qpane::testing {
namespace {

class PassDisplay : public CrossPatterns {
  protected:
    PassDisplay() { settings.holdSeconds = 3; }
    Lines shownMarks() {
        return column("select uc || '=' || sumi from crosst order by cast(uc as integer)");
    }
    // Bib 014 passes at 1:20.00, then bib 012 at 1:23.45, through the routine of the pattern.
    void twoPasses(void (*routine)(cross::CrossContext&)) {
        pass(routine, {"C1101400:01:20.00", "C1101200:01:23.45"});
        logStart = logLines().size();
        sendStart = sends().size();
        timeStart = elapsed();
    }
    size_t logStart = 0, sendStart = 0;
    int64_t timeStart = 0;
};

TEST_F(PassDisplay, Cross1ScrollsTheNewestPassesDownFromRowAAndRanksTheGroupBelow) {
    choose(PatternNumber::Cross1, Precision::Hundredths);
    settings.scrollRowsText = "3";
    twoPasses(cross::syoriC1);

    displayStep();  // the pass row of 014, the first pass
    const std::string rowA = "A014         1:20.00       : .     : : .\r";
    Lines expected = {"0 COM2 " + rowA, "200 COM2 B" + std::string(19, ' ') + "\r",
                      "400 COM2 C" + std::string(19, ' ') + "\r",
                      // rows D and E: the ranking of the group, then the reset rows
                      "600 COM2 D014     " + std::string("    1:20.00       : .     : : .") + "\r",
                      "800 COM2 E012     " + std::string("    1:23.45       : .     : : .") + "\r"};
    for (int row = 6; row <= 10; ++row)
        expected.push_back(std::to_string(row * 200 - 200) + " COM2 " +
                           blankBoardRow(BoardRow(row)));
    EXPECT_EQ(sendsFrom(sendStart), expected);
    // Ten rows 200 ms apart, then the hold.
    EXPECT_EQ(elapsed() - timeStart, 10 * 200 + 3000);
    EXPECT_EQ(logFrom(logStart), (Lines{rowA, "B" + std::string(19, ' ') + "\r",
                                        "C" + std::string(19, ' ') + "\r", ""}));
    EXPECT_EQ(shownMarks(), (Lines{"2=1", "3=0"}));
    EXPECT_EQ(passDisplay, (std::vector<bool>{false, true}));
    EXPECT_EQ(fields.nowTime, 8000);

    // The next step shows the pass of 012 with 014's pass below it.
    displayStep();
    const Lines second = sendsFrom(sendStart + 10);
    ASSERT_EQ(second.size(), 10u);
    EXPECT_EQ(second[0], "5000 COM2 A012         1:23.45       : .     : : .\r");
    EXPECT_EQ(second[1], "5200 COM2 B" + rowA.substr(1));
    EXPECT_EQ(shownMarks(), (Lines{"2=1", "3=1"}));

    // With every row shown a step finds nothing: no send, no hold, the cycle left running.
    const size_t before = sends().size();
    const int64_t at = elapsed();
    displayStep();
    EXPECT_EQ(sends().size(), before);
    EXPECT_EQ(elapsed(), at);
    EXPECT_EQ(passDisplay.size(), 4u);
}

TEST_F(PassDisplay, Cross1AtTenthsShowsTheTenthsAndTheScrollCountComesFromTheSetting) {
    choose(PatternNumber::Cross1, Precision::Tenths);
    settings.scrollRowsText = "1";
    twoPasses(cross::syoriC1);
    displayStep();
    const Lines s = sendsFrom(sendStart);
    ASSERT_EQ(s.size(), 10u);
    // One scroll row; the ranking starts at row B.
    // At tenths the digits sit one place to the right (1:20.0 as "12.00"), the separators
    // stay.
    EXPECT_EQ(s[0], "0 COM2 A014           12.00        : .      : : .\r");
    EXPECT_EQ(s[1].substr(0, 13), "200 COM2 B014");
    EXPECT_EQ(s[2].substr(0, 13), "400 COM2 C012");
    EXPECT_EQ(fields.nowTime, 8000);
}

TEST_F(PassDisplay, Cross1ScrollCountThatIsNotANumberStopsTheStepBeforeAnythingIsSent) {
    choose(PatternNumber::Cross1, Precision::Hundredths);
    settings.scrollRowsText = "x";
    twoPasses(cross::syoriC1);
    EXPECT_THROW(displayStep(), EConvertError);
    EXPECT_TRUE(sendsFrom(sendStart).empty());
    // The display stays stopped until the operator starts it again.
    EXPECT_EQ(passDisplay, (std::vector<bool>{false}));
    EXPECT_EQ(shownMarks(), (Lines{"2=0", "3=0"}));
}

TEST_F(PassDisplay, Cross3ShowsThePassItsDifferenceToTheLeaderAndTheRanking) {
    choose(PatternNumber::Cross3, Precision::Hundredths);
    twoPasses(cross::syoriC3);
    displayStep();  // 014 leads: no difference
    displayStep();  // 012 is 3.45 behind
    const Lines s = sendsFrom(sendStart + 10);
    ASSERT_EQ(s.size(), 10u);
    EXPECT_EQ(fields.topTime, 8000);
    EXPECT_EQ(fields.diffTime, 345);
    EXPECT_EQ(s[1], "5200 COM2 " + fields.boardRows[1]);
    EXPECT_EQ(fields.boardRows[1].substr(0, 12), "BDIF        ");
    EXPECT_NE(fields.boardRows[1].find("3.45"), std::string::npos) << fields.boardRows[1];
    EXPECT_EQ(fields.boardRows[2].substr(0, 4), "C014");
    EXPECT_EQ(fields.boardRows[3].substr(0, 4), "D012");
    const Lines log = logFrom(logStart);
    ASSERT_EQ(log.size(), 8u);
    EXPECT_EQ(log[4].substr(0, 4), "A012");
    EXPECT_EQ(log[5], fields.boardRows[1]);
}

TEST_F(PassDisplay, Cross4ShowsBibAndRankAndSendsOnlyToAnOpenBoardPort) {
    choose(PatternNumber::Cross4, Precision::Hundredths);
    twoPasses(cross::syoriC4);
    displayStep();
    displayStep();  // 012, second of its group
    EXPECT_EQ(fields.boardRows[0], "A012               2 \r");
    const Lines s = sendsFrom(sendStart + 10);
    ASSERT_EQ(s.size(), 10u);
    EXPECT_EQ(s[0], "4000 COM2 A012               2 \r");
    EXPECT_EQ(s[9].substr(0, 9), "4900 COM2");  // 100 ms apart

    // A closed board port gets nothing, the log gets the rows all the same.
    port2Open = false;
    pass(cross::syoriC4, {"C1101300:01:10.00"});
    const size_t sent = sends().size();
    const size_t logged = logLines().size();
    displayStep();
    EXPECT_EQ(sends().size(), sent);
    EXPECT_EQ(logFrom(logged),
              (Lines{"A013               1 \r", fields.boardRows[1], fields.boardRows[2], ""}));
}

TEST_F(PassDisplay, RelaySendsTheNowAndDifferenceLinesWithoutKeepingThemAndRanksByTotal) {
    choose(PatternNumber::Relay, Precision::Hundredths);
    pass(cross::syoriR, {"C1101200:10:00.00A", "CT101200:20:00.00", "CT101400:20:05.00"});
    logStart = logLines().size();
    sendStart = sends().size();
    displayStep();  // the pass row of 012
    displayStep();  // 014, 5.00 behind
    const Lines s = sendsFrom(sendStart + 10);
    ASSERT_EQ(s.size(), 10u);
    EXPECT_EQ(s[0].substr(0, 11), "4600 COM2 A");
    EXPECT_NE(s[0].find("014"), std::string::npos);
    EXPECT_EQ(s[1].substr(0, 14), "4600 COM2 BDIF");
    EXPECT_NE(s[1].find("5.00"), std::string::npos) << s[1];
    EXPECT_EQ(s[2].substr(0, 14), "4600 COM2 C012");
    EXPECT_EQ(s[3].substr(0, 14), "4800 COM2 D014");
    EXPECT_EQ(fields.diffTime, 500);
    // Rows A and B of the board rows keep their reset content.
    EXPECT_EQ(fields.boardRows[0], blankBoardRow(kRowA));
}

TEST_F(PassDisplay, APatternThatIsNotCrossCountryOnlyMarksTheRowShown) {
    choose(PatternNumber::Cross1, Precision::Hundredths);
    twoPasses(cross::syoriC1);
    settings.pattern = std::nullopt;
    displayStep();
    EXPECT_TRUE(sendsFrom(sendStart).empty());
    EXPECT_EQ(logFrom(logStart), Lines{});
    EXPECT_EQ(shownMarks(), (Lines{"2=1", "3=0"}));
    EXPECT_EQ(elapsed() - timeStart, 3000);
}

TEST_F(PassDisplay, AMarkThatTheStoreRefusesIsToldOnceAndTheRowIsShownAgainUntilItIsStored) {
    choose(PatternNumber::Cross2, Precision::Hundredths);
    twoPasses(cross::syoriC2);

    vfs.failWrites();
    EXPECT_THROW(displayStep(), EDatabaseError);
    // Shown and held all the same, and the cycle runs on.
    EXPECT_EQ(sendsFrom(sendStart).size(), 10u);
    EXPECT_EQ(passDisplay, (std::vector<bool>{false, true}));
    EXPECT_EQ(storeFailures, 1);

    // Told already: the next refusal is kept quiet, and the same row is shown again.
    EXPECT_NO_THROW(displayStep());
    EXPECT_EQ(storeFailures, 2);
    const Lines s = sendsFrom(sendStart);
    ASSERT_EQ(s.size(), 20u);
    EXPECT_EQ(s[10].substr(s[10].find(' ')), s[0].substr(s[0].find(' ')));
    EXPECT_EQ(storeWrites, 0);

    vfs.heal();
    displayStep();
    EXPECT_EQ(storeWrites, 1);
    EXPECT_EQ(shownMarks(), (Lines{"2=1", "3=0"}));
    displayStep();
    EXPECT_EQ(shownMarks(), (Lines{"2=1", "3=1"}));
}

}  // namespace
}  // namespace qpane::testing
