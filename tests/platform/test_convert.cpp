#include <gtest/gtest.h>

#include "platform/convert.h"

namespace qpane {
namespace {

TEST(Convert, StrToIntAcceptsLeadingBlanksAndSign) {
    EXPECT_EQ(StrToInt("12"), 12);
    EXPECT_EQ(StrToInt("  -7"), -7);
    EXPECT_EQ(StrToInt("+3"), 3);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
}

TEST(Convert, StrToIntRejectsOtherText) {
    for (const char* bad : {"", " ", "-", "1 ", "1a", "2147483648", "0x10", "１"})
        EXPECT_THROW(StrToInt(bad), EConvertError) << bad;
    EXPECT_EQ(StrToIntDef("x", 4), 4);
    EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
    EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
}

TEST(Convert, ErrorNamesTheText) {
    try {
        StrToInt("abc");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_NE(std::string(e.what()).find("'abc'"), std::string::npos);
    }
}

TEST(Convert, FormatBib) {
    EXPECT_EQ(formatBib(1), "001");
    EXPECT_EQ(formatBib(999), "999");
    EXPECT_EQ(formatBib(1000), "1000");
    EXPECT_EQ(formatBib(-5), "-005");
}

}  // namespace
}  // namespace qpane
