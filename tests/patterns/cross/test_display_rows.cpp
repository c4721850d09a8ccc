// Row layouts of the pass display at the edges that whole races rarely reach.
#include "cross_patterns.h"
#include "patterns/cross/pass_display.h"
#include "platform/convert.h"

namespace qpane::testing {
namespace {

TEST(RankRow, KeepsTheRankRightAlignedAcrossItsDigitCounts) {
    EXPECT_EQ(cross::rankRow("012", 1), "A012               1 \r");
    EXPECT_EQ(cross::rankRow("012", 9), "A012               9 \r");
    EXPECT_EQ(cross::rankRow("012", 10), "A012              10 \r");
    EXPECT_EQ(cross::rankRow("012", 99), "A012              99 \r");
    // three digits: the first, a colon, the other two
    EXPECT_EQ(cross::rankRow("012", 100), "A012            1:00 \r");
    EXPECT_EQ(cross::rankRow("012", 999), "A012            9:99 \r");
    // four digits do not fit: the row keeps its reset content
    EXPECT_EQ(cross::rankRow("012", 1000), "");
}

class DifferenceRow : public CrossPatterns {
  protected:
    DifferenceRow() { choose(PatternNumber::Cross3, Precision::Tenths); }
    std::string rowFor(int32_t diff) {
        fields.diffTime = diff;
        return cross::differenceRow(context());
    }
};

TEST_F(DifferenceRow, UnderOneSecondTakesTheFixedFormWithTheTenthsDigit) {
    EXPECT_EQ(rowFor(0), "BDIF             .00          .      : : .\r");
    EXPECT_EQ(rowFor(99), "BDIF             .09          .      : : .\r");
}

TEST_F(DifferenceRow, OneSecondAndMoreComesFromTheTimeField) {
    // 1.00 continues the fixed form's series (.09, then .10) ...
    EXPECT_EQ(rowFor(100), "BDIF             .10          .      : : .\r");
    EXPECT_EQ(rowFor(530), "BDIF             .53          .      : : .\r");
    // ... and a longer one fills more of the field, its digits one place to the right as
    // everything at 1/10 (1:02.30 becomes "10.23" with the separators where they were)
    EXPECT_EQ(rowFor(6230), "BDIF           10.23        : .      : : .\r");
}

TEST_F(DifferenceRow, BelowZeroTheTenthsAreTruncatedTowardZero) {
    EXPECT_EQ(rowFor(-5), "BDIF             .00          .      : : .\r");
    EXPECT_EQ(rowFor(-15), "BDIF             .0-1          .      : : .\r");
}

TEST_F(DifferenceRow, AtHundredthsKeepsTheHundredths) {
    choose(PatternNumber::Cross3, Precision::Hundredths);
    EXPECT_EQ(rowFor(1078), "BDIF           10.78         .     : : .\r");
}

TEST(ScrollRowCount, AWholeNumberOutsideZeroToTenCountsAsTheNearestOfThem) {
    EXPECT_EQ(cross::scrollRowCount("3"), 3);
    EXPECT_EQ(cross::scrollRowCount(" 7"), 7);
    EXPECT_EQ(cross::scrollRowCount("0"), 0);
    EXPECT_EQ(cross::scrollRowCount("10"), 10);
    EXPECT_EQ(cross::scrollRowCount("11"), 10);
    EXPECT_EQ(cross::scrollRowCount("-1"), 0);
    EXPECT_EQ(cross::scrollRowCount("99999999999"), 10);
}

TEST(ScrollRowCount, TextThatIsNotAWholeNumberIsAConversionError) {
    for (const char* text : {"", "x", "3 ", "2.5", "３"})
        EXPECT_THROW(cross::scrollRowCount(text), EConvertError) << "'" << text << "'";
}

class PrecisionArrangement : public CrossPatterns {};

TEST_F(PrecisionArrangement, KeepsBibAndTimeInTheirPositions) {
    const std::string stored = "1012         1:23.45        : .      : : .";
    choose(PatternNumber::Cross1, Precision::Tenths);
    // at tenths the digits move one place to the right, the separators stay
    EXPECT_EQ(cross::arrangePrecision(context(), stored), "1012          :12.34");
    choose(PatternNumber::Cross1, Precision::Hundredths);
    EXPECT_EQ(cross::arrangePrecision(context(), stored), "1012         1:23.45");
}

TEST_F(PrecisionArrangement, AnEmptyPassStaysEmptyAndAShortOneStaysShort) {
    choose(PatternNumber::Cross1, Precision::Tenths);
    EXPECT_EQ(cross::arrangePrecision(context(), ""), "");
    EXPECT_EQ(cross::arrangePrecision(context(), "1012\r"), "1012");
}

}  // namespace
}  // namespace qpane::testing
