#include <gtest/gtest.h>

#include "input/line_list.h"

namespace qpane {
namespace {

LineList fromBytes(std::string_view bytes) {
    LineList list;
    for (char b : bytes)
        list.appendByte(b);
    return list;
}

TEST(LineList, OnlyCrLfSeparatesLines) {
    LineList list = fromBytes("ab\rcd\nef\r\ngh");
    ASSERT_EQ(list.count(), 2u);
    EXPECT_EQ(list.line(0), "ab\rcd\nef");
    EXPECT_EQ(list.line(1), "gh");
    EXPECT_EQ(list.text(), "ab\rcd\nef\r\ngh");
}

TEST(LineList, CountIgnoresFinalEmptyLine) {
    LineList list;
    EXPECT_EQ(list.count(), 0u);
    EXPECT_EQ(list.lastLine(), "");
    list.addLine("ab");
    EXPECT_EQ(list.count(), 1u);
    EXPECT_EQ(list.text(), "ab\r\n");
    list.endLine();
    EXPECT_EQ(list.count(), 2u);
    EXPECT_EQ(list.line(1), "");
}

TEST(LineList, AddLineAfterOpenLineStartsNewLine) {
    LineList list = fromBytes("xy");
    list.addLine("ab");
    EXPECT_EQ(list.text(), "xy\r\nab");
    EXPECT_EQ(list.count(), 2u);
    list.addLine("cd");
    EXPECT_EQ(list.text(), "xy\r\nab\r\ncd");
}

TEST(LineList, AddedLineWithTrailingCrKeepsIt) {
    LineList list;
    list.addLine("A012\r");
    list.addLine("");
    EXPECT_EQ(list.text(), "A012\r\r\n\r\n");
    ASSERT_EQ(list.count(), 2u);
    EXPECT_EQ(list.line(0), "A012\r");
    EXPECT_EQ(list.line(1), "");
}

TEST(LineList, ReceivedCrAndLfJoinIntoSeparator) {
    LineList list = fromBytes("ab\r");
    EXPECT_EQ(list.count(), 1u);
    list.appendByte('\n');
    EXPECT_EQ(list.count(), 1u);
    list.appendByte('c');
    EXPECT_EQ(list.count(), 2u);
    EXPECT_EQ(list.line(1), "c");
}

TEST(LineList, DeleteLines) {
    LineList list = fromBytes("a\r\nb\r\nc");
    list.deleteLine(0);
    EXPECT_EQ(list.text(), "b\r\nc");
    list.deleteLine(1);  // the open last line: its characters go
    EXPECT_EQ(list.text(), "b\r\n");
    EXPECT_EQ(list.count(), 1u);
    list.deleteLine(0);
    EXPECT_EQ(list.text(), "");
    list.deleteLine(5);  // nothing there
    EXPECT_EQ(list.count(), 0u);
}

TEST(LineList, ObserverSeesEveryChange) {
    LineList list;
    int changes = 0;
    list.setObserver([&] { ++changes; });
    list.appendByte('x');
    list.endLine();
    list.addLine("y");
    list.deleteLine(0);
    EXPECT_EQ(changes, 4);
}

}  // namespace
}  // namespace qpane
