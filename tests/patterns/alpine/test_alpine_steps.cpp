#include <gtest/gtest.h>

#include "patterns/alpine/alpine_steps.h"

namespace qpane::alpine {
namespace {

TEST(RankForm, PutsThePointAtPositionTwo) {
    EXPECT_EQ(rankForm("5"), " . 5");
    EXPECT_EQ(rankForm("12"), " .12");
    EXPECT_EQ(rankForm("123"), "1.23");
    EXPECT_EQ(rankForm("1234"), "1234");
    EXPECT_EQ(rankForm("12345"), "12345");
}

TEST(RankForm, LeavesAFormedOrEmptyRankAsItIs) {
    // Row A is rebuilt after every line, also when the rank did not change.
    EXPECT_EQ(rankForm(" . 5"), " . 5");
    EXPECT_EQ(rankForm(" .12"), " .12");
    EXPECT_EQ(rankForm(""), "");
}

TEST(Characters, TakesPositionsCountedFromOne) {
    EXPECT_EQ(characters("C1101200:01:23.45", 4, 6), "012");
    EXPECT_EQ(characters("C1101200:01:23.45", 7, 17), "00:01:23.45");
    EXPECT_EQ(characters("C1101200:01:23.45", 2, 2), "1");
}

TEST(Characters, MissingCharactersAreEmpty) {
    EXPECT_EQ(characters("C110120:01", 7, 17), "0:01");
    EXPECT_EQ(characters("C11", 4, 6), "");
    EXPECT_EQ(characters("", 1, 1), "");
}

}  // namespace
}  // namespace qpane::alpine
