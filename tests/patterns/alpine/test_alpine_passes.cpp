// Behaviour of the alpine routines that the transcript of a replay does not show: whether
// the grid query is opened, what a pass leaves in firstCode, and how a pass ends when the
// store refuses a statement.
#include "alpine_window.h"

namespace qpane::testing {
namespace {

using AlpinePass = AlpineWindowTest;

TEST_F(AlpinePass, Alpine1OpensTheRunOneGridOnlyWhenARunOneLineCameFirst) {
    pass(1, {"C1101200:01:23.45"});
    EXPECT_TRUE(w().Qtimedp.Active());
    EXPECT_EQ(w().Qtimedp.SQL().Text(),
              "select bib,time1,block from timedata where time1<>''\n"
              "and block='1' and grp='1' order by time1");
    EXPECT_EQ(w().firstCode, "");

    // A total first in the pass: the run-1 line sets the statement but leaves it closed.
    pass(1, {"CT101300:02:50.00", "C1101400:01:25.00"});
    EXPECT_FALSE(w().Qtimedp.Active());
    EXPECT_EQ(w().Qtimedp.SQL().Count(), 2);
    EXPECT_EQ(w().firstCode, "");
}

class FirstCodeCarriesOver : public AlpineWindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(FirstCodeCarriesOver, ARunTwoLineKeepsLaterRunOneGridsClosed) {
    pass(GetParam(), {"C1101200:01:23.45"});
    EXPECT_TRUE(w().Qtimedp.Active());

    pass(GetParam(), {"C2101200:01:24.00"});
    EXPECT_EQ(w().firstCode, "2");
    EXPECT_TRUE(w().Qtimedp.Active());  // the grid of the totals

    // Passes later, a run-1 line is stored and shown, but its grid is no longer opened.
    pass(GetParam(), {"C1101300:01:22.00"});
    EXPECT_EQ(w().firstCode, "2");
    EXPECT_FALSE(w().Qtimedp.Active());
    EXPECT_EQ(stored("time1", "013"), "00:01:22.00");
}

INSTANTIATE_TEST_SUITE_P(Alpine3To5, FirstCodeCarriesOver, ::testing::Values(3, 4, 5));

TEST_F(AlpinePass, Alpine2WithoutARankingStatementOpensNothing) {
    // A total before any run-1 line: no rule sets the statement of Qtimedp.
    pass(2, {"CT101200:02:50.10"});
    EXPECT_TRUE(boxes_.errors.empty());
    EXPECT_EQ(w().Qtimedp.SQL().Count(), 0);
    EXPECT_FALSE(w().Qtimedp.Active());
    EXPECT_EQ(w().boardRows[0], "");
    EXPECT_EQ(stored("totalt", "012"), "00:02:50.10");
    EXPECT_FALSE(w().bufferBusy);
    EXPECT_TRUE(w().Timer1.Enabled());
}

class EveryAlpinePattern : public AlpineWindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(EveryAlpinePattern, AnErrorInThePassClearsBufferBusyAndKeepsTheLine) {
    sql("create trigger refuse_013 before update on timedata when new.bib='013' "
        "begin select raise(abort,'disk I/O error'); end");
    w().bufferBusy = true;  // the buffered intake has handed over a batch
    pass(GetParam(), {"C1101200:01:23.45", "C1101300:01:22.07", "C1101400:01:24.00"});

    ASSERT_EQ(boxes_.errors.size(), 1u);
    EXPECT_NE(boxes_.errors[0].find("disk I/O error"), std::string::npos);
    EXPECT_FALSE(w().bufferBusy);
    // The line that failed stays first in the queue, with the one after it.
    ASSERT_EQ(w().Memo2.count(), 2u);
    EXPECT_EQ(w().Memo2.line(0), "C1101300:01:22.07");
    EXPECT_EQ(stored("time1", "012"), "00:01:23.45");

    // Once the store accepts the update again, the next cycle goes on from that line.
    sql("drop trigger refuse_013");
    pass(GetParam(), {});
    EXPECT_EQ(boxes_.errors.size(), 1u);
    EXPECT_EQ(w().Memo2.count(), 0u);
    EXPECT_EQ(stored("time1", "013"), "00:01:22.07");
    EXPECT_EQ(stored("time1", "014"), "00:01:24.00");
}

TEST_P(EveryAlpinePattern, ALineWithoutATimeLeavesTheStoredTimes) {
    sql("update timedata set time1='00:01:23.45',time2='00:01:24.00',totalt='00:02:47.45' "
        "where block='1' and bib='012'");
    pass(GetParam(), {"C11012", "C21012", "CT1012", "C1101", ""});
    EXPECT_TRUE(boxes_.errors.empty());
    EXPECT_EQ(w().Memo2.count(), 0u);
    EXPECT_EQ(stored("time1", "012"), "00:01:23.45");
    EXPECT_EQ(stored("time2", "012"), "00:01:24.00");
    EXPECT_EQ(stored("totalt", "012"), "00:02:47.45");
}

TEST_P(EveryAlpinePattern, TheBufferedLineLosesItsTwoLeadingBytes) {
    w().connMode = "B";
    pass(GetParam(), {"\r\x02"
                      "C1101200:01:23.45"});
    EXPECT_EQ(w().workLine, "C1101200:01:23.45\r");
    EXPECT_EQ(w().bibNo, "012");
    EXPECT_EQ(w().blockNo, "1");
    EXPECT_EQ(stored("time1", "012"), "00:01:23.45");
}

INSTANTIATE_TEST_SUITE_P(Alpine1To5, EveryAlpinePattern, ::testing::Values(1, 2, 3, 4, 5));

}  // namespace
}  // namespace qpane::testing
