#include <gtest/gtest.h>

#include "input/time_values.h"

namespace qpane {
namespace {

constexpr TimeFieldForm kAlpine = TimeFieldForm::Alpine;
constexpr TimeFieldForm kCross1 = TimeFieldForm::Cross;
constexpr TimeFieldForm kCross3 = TimeFieldForm::CrossBlankUnits;
constexpr Precision kTenths = Precision::Tenths;
constexpr Precision kHundredths = Precision::Hundredths;

TEST(Timetonum, ReadsHundredthsTenthsAndThousandths) {
    EXPECT_EQ(timetonum("00:01:23.45"), 8345);
    EXPECT_EQ(timetonum("00:01:23.4"), 8340);
    EXPECT_EQ(timetonum("00:01:23.456"), 83456);
    EXPECT_EQ(timetonum("00:01:23.45 "), 8345);  // padded to 12, trimmed 11
    EXPECT_EQ(timetonum("12:34:56.78"), ((12 * 60 + 34) * 60 + 56) * 100 + 78);
}

TEST(Timetonum, PiecesThatDoNotConvertCountZero) {
    EXPECT_EQ(timetonum(""), 0);
    EXPECT_EQ(timetonum("00:01:23.4 "), 8300);  // fraction "4 " has a trailing blank
    EXPECT_EQ(timetonum("    1:23.45"), 8345);  // right-aligned: blank hours piece
    EXPECT_EQ(timetonum("ab:01:23.45"), 8345);
    EXPECT_EQ(timetonum("-1:00:00.00"), -360000);
    EXPECT_EQ(timetonum("1 :00:00.00"), 0);
}

TEST(Timetonum, HundredHoursAndMoreStay64Bit) {
    EXPECT_EQ(timetonum("99:59:59.99"), 35999999);
    EXPECT_EQ(numtotime(36000000), "100:00:00.00");
    EXPECT_EQ(numtotime(int64_t{10'000'000'000}), "27777:46:40.00");
}

TEST(Numtotime, RightAlignedForms) {
    EXPECT_EQ(numtotime(523), "       5.23");
    EXPECT_EQ(numtotime(5912), "      59.12");
    EXPECT_EQ(numtotime(8345), "    1:23.45");
    EXPECT_EQ(numtotime(74345), "   12:23.45");
    EXPECT_EQ(numtotime(502567), " 1:23:45.67");
    EXPECT_EQ(numtotime(0), "       0.00");
    EXPECT_EQ(numtotime(360000), " 1:00:00.00");
    EXPECT_EQ(numtotime(3600000), "10:00:00.00");
}

TEST(Numtotime, NegativeCountsTruncateTowardZero) {
    EXPECT_EQ(numtotime(-5), "       0.-05");
    EXPECT_EQ(numtotime(-523), "       -5.-23");
    EXPECT_EQ(numtotime(-8345), "       -83.-45");
}

TEST(Timefill, CompletesShortForms) {
    EXPECT_EQ(timefill("1:23.45"), "00:01:23.45");
    EXPECT_EQ(timefill("5.23"), "00:00:05.23");
    EXPECT_EQ(timefill("12:34:56.78"), "12:34:56.78");
    EXPECT_EQ(timefill("2:34:56.78"), "02:34:56.78");
    EXPECT_EQ(timefill("34:56.78"), "00:34:56.78");
    EXPECT_EQ(timefill("56.78"), "00:00:56.78");
    EXPECT_EQ(timefill("78"), "00:00:00.78");
    EXPECT_EQ(timefill("7"), "00:00:00.00");
    EXPECT_EQ(timefill("  1:23.45\r"), "00:01:23.45");
    EXPECT_EQ(timefill("abc"), "");
    EXPECT_EQ(timefill(""), "");
    EXPECT_EQ(timefill("123456"), "");
    EXPECT_EQ(timefill("00:01:23.456"), "");
}

TEST(Dptime, AlpineMasks) {
    EXPECT_EQ(dptime("00:01:23.45", kAlpine, kTenths), "    1:23.45       : .");
    EXPECT_EQ(dptime("00:00:59.12", kAlpine, kTenths), "      59.12         .");
    EXPECT_EQ(dptime("01:23:45.67", kAlpine, kTenths), " 1:23:45.67     : : .");
    EXPECT_EQ(dptime("00:00:00.00", kAlpine, kTenths), "       0.00         .");
    EXPECT_EQ(dptime("00:00:00.50", kAlpine, kTenths), "         50         .");
    // Right-aligned input gives the same field as the full form.
    EXPECT_EQ(dptime("    1:23.45", kAlpine, kTenths), dptime("00:01:23.45", kAlpine, kTenths));
}

TEST(Dptime, TenthsBodyGetsBlankHundredths) {
    EXPECT_EQ(dptime("00:01:23.4", kAlpine, kTenths), "    1:23.4        : .");
}

TEST(Dptime, OnlyElevenCharactersAreUsed) {
    EXPECT_EQ(dptime("00:01:23.456", kAlpine, kTenths), dptime("00:01:23.45", kAlpine, kTenths));
}

TEST(Dptime, ShortBodiesOfCrossThreeAndFour) {
    EXPECT_EQ(dptime("00:00:00.50", kCross3, kHundredths), "        .50         .     : : .");
    EXPECT_EQ(dptime("00:00:00.00", kCross3, kHundredths), "        .00         .     : : .");
    EXPECT_EQ(dptime("00:00:00.50", kCross3, kTenths), "        .50          .      : : .");
}

TEST(Dptime, CrossMasksByPrecision) {
    // Every mask of the cross family ends in the full mask, after any shorter one.
    EXPECT_EQ(dptime("00:01:23.45", kCross1, kHundredths), "    1:23.45       : .     : : .");
    EXPECT_EQ(dptime("00:00:59.12", kCross1, kHundredths), "      59.12         .     : : .");
    EXPECT_EQ(dptime("01:23:45.67", kCross1, kHundredths), " 1:23:45.67     : : .");
    EXPECT_EQ(dptime("00:01:23.45", kCross1, kTenths), "    1:23.45        : .      : : .");
    EXPECT_EQ(dptime("00:00:05.1", kCross1, kTenths), "       5.1           .      : : .");
}

TEST(Dpprec, ArrangesForPrecision) {
    EXPECT_EQ(dpprec("12:34:56.78", kTenths), " 1:23:45.67");
    EXPECT_EQ(dpprec("12:34:56.78", kHundredths), " 2:34:56.78");
    EXPECT_EQ(dpprec("    1:23.45", kTenths), "     :12.34");
    EXPECT_EQ(dpprec("12:34", kTenths), " 1:234");  // missing characters add nothing
    EXPECT_EQ(dpprec("", kHundredths), " ");
}

}  // namespace
}  // namespace qpane
