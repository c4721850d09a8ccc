// Shift-JIS as Japanese spreadsheets and the console's own files write it (code page 932).
#include <gtest/gtest.h>

#include "platform/shift_jis.h"

namespace qpane {
namespace {

TEST(ShiftJis, JapaneseAndTheCodePagesOwnCharactersRoundTrip) {
    EXPECT_EQ(utf8ToShiftJis("順位 ABC"), "\x8F\x87\x88\xCA ABC");
    // The circled digit and the full-width tilde exist in code page 932 only.
    EXPECT_EQ(utf8ToShiftJis("①～"), "\x87\x40\x81\x60");
    EXPECT_EQ(utf8ToShiftJis("ｱ"), "\xB1");  // half-width katakana: one byte
    EXPECT_EQ(shiftJisToUtf8("\x83\x75\x83\x8D\x83\x62\x83\x4E"), "ブロック");
    EXPECT_EQ(utf8ToShiftJis(""), "");
    const std::string long_(5000, 'x');
    EXPECT_EQ(utf8ToShiftJis(long_ + "組"), long_ + "\x91\x67");
}

TEST(ShiftJis, TextWithoutAShiftJisFormIsRefusedByPlace) {
    try {
        utf8ToShiftJis("ab\xF0\x9F\x98\x80");
        FAIL() << "an emoji was converted";
    } catch (const EncodingError& e) {
        EXPECT_NE(std::string(e.what()).find("byte 3"), std::string::npos) << e.what();
    }
    EXPECT_THROW(utf8ToShiftJis("\xFF\xFE"), EncodingError);  // not UTF-8
    EXPECT_THROW(utf8ToShiftJis("\xE9\xA0"), EncodingError);  // cut short
    EXPECT_THROW(shiftJisToUtf8("\x83"), EncodingError);
}

}  // namespace
}  // namespace qpane
