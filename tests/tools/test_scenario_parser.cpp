// The scenario language: what runs and what is refused as malformed, with its line number.
#include <gtest/gtest.h>

#include <sstream>

#include "scenario.h"
#include "transcript.h"

namespace qpane::replay {
namespace {

std::vector<Action> parse(const std::string& text) {
    std::istringstream in(text);
    return parseScenario(in);
}

int errorLine(const std::string& text) {
    try {
        parse(text);
    } catch (const ScenarioError& e) {
        return std::stoi(std::string(e.what()).substr(5));
    }
    return 0;
}

TEST(ScenarioParser, QuotedBytesWithEveryEscape) {
    auto actions = parse("rx COM1 \"\\x02A\\r\\n\\t\\\\\\\"\\xc1\"\n");
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0].args[1].text, std::string("\x02"
                                                   "A\r\n\t\\\"\xC1"));
    EXPECT_TRUE(actions[0].args[1].quoted);
}

TEST(ScenarioParser, BlankAndCommentLinesAreSkippedLineNumbersKept) {
    auto actions = parse("# head\n\n   \nstart\n  # indented comment\nwait 500\r\n");
    ASSERT_EQ(actions.size(), 2u);
    EXPECT_EQ(actions[0].line, 4);
    EXPECT_EQ(actions[1].line, 6);
    EXPECT_EQ(actions[1].args[0].text, "500");
}

TEST(ScenarioParser, MalformedLinesAreRefusedWithTheirNumber) {
    EXPECT_EQ(errorLine("start\nfly away\n"), 2);
    EXPECT_EQ(errorLine("start\n\nwait\n"), 3);
    EXPECT_EQ(errorLine("wait -5\n"), 1);
    EXPECT_EQ(errorLine("rx COM1 \"unfinished\n"), 1);
    EXPECT_EQ(errorLine("rx COM1 \"\\q\"\n"), 1);
    EXPECT_EQ(errorLine("rx COM1 \"\\x4\"\n"), 1);
    EXPECT_EQ(errorLine("rx PORT1 \"a\"\n"), 1);
    EXPECT_EQ(errorLine("answer maybe\n"), 1);
    EXPECT_EQ(errorLine("key ME1 Escape\n"), 1);
    EXPECT_EQ(errorLine("dump memo\n"), 1);
    EXPECT_EQ(errorLine("dump ini x\n"), 1);
    EXPECT_EQ(errorLine("row DBGrid2 -1\n"), 1);
    EXPECT_EQ(errorLine("row DBGrid2 9999999999\n"), 1);
    EXPECT_EQ(errorLine("rx COM9999999999 \"x\"\n"), 1);
    EXPECT_EQ(errorLine("\"start\"\n"), 1);
}

TEST(Transcript, BytesOutsidePrintableAsciiAreEscaped) {
    EXPECT_EQ(quoteBytes("A\r\n\t\\\"\x7F\xC1 ~"), "\"A\\r\\n\\t\\\\\\\"\\x7F\\xC1 ~\"");
    EXPECT_EQ(colorText(0x0000FF), "#0000FF");
}

}  // namespace
}  // namespace qpane::replay
