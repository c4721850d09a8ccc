// The JSON the live page answers with: what a browser's JSON.parse must read back unchanged.
#include <gtest/gtest.h>

#include "web/json_text.h"

namespace qpane::web {
namespace {

TEST(JsonText, NestsObjectsAndArraysWithTheirCommas) {
    JsonText j;
    j.beginObject().key("a").number(-3).key("b").beginArray();
    j.string("x").boolean(true).beginObject().endObject().beginArray().endArray();
    j.endArray().key("c").string("").endObject();
    EXPECT_EQ(j.text(), R"({"a":-3,"b":["x",true,{},[]],"c":""})");
}

TEST(JsonText, EscapesWhatATimingLineOrTheStoreMayHold) {
    JsonText j;
    j.string("a\"b\\c\r\n\t\x01\x1f\x7f</script>");
    EXPECT_EQ(j.text(), R"("a\"b\\c\r\n\t\u0001\u001f\u007f\u003c/script>")");
}

TEST(JsonText, KeepsUtf8AndReplacesBytesThatAreNotText) {
    JsonText j;
    // 組 in UTF-8, then a lone Shift-JIS lead byte, an overlong "/" and a surrogate.
    j.string("\xE7\xB5\x84|\x91|\xC0\xAF|\xED\xA0\x80");
    EXPECT_EQ(j.text(), "\"\xE7\xB5\x84|\\ufffd|\\ufffd\\ufffd|\\ufffd\\ufffd\\ufffd\"");
}

TEST(JsonText, BytesComeBackAsCodePointsOfTheirValues) {
    JsonText j;
    j.bytes(std::string("A021 \x82\xa0\r\0", 9));
    EXPECT_EQ(j.text(), R"("A021 \u0082\u00a0\r\u0000")");
}

}  // namespace
}  // namespace qpane::web
