// A log line that a device fills without ever ending it keeps its beginning and its end.
#include <gtest/gtest.h>

#include "input/line_list.h"

namespace qpane {
namespace {

TEST(LineCut, LongLineKeepsItsHeadAndTailAndGoesOnAfterItsLastByte) {
    LineList list;
    list.addLine("first");
    for (int i = 0; i < 10000; ++i)
        list.appendByte(static_cast<char>('0' + i % 10));
    list.cutLine(1, 6, 2);
    EXPECT_EQ(list.line(1), "01234589");
    list.appendByte('x');
    EXPECT_EQ(list.line(1), "01234589x");
    list.cutLine(1, 6, 2);
    EXPECT_EQ(list.line(1), "0123459x");
    // The line is still the one being written, and the other lines are as they were.
    list.endLine();
    list.appendByte('y');
    ASSERT_EQ(list.count(), 3u);
    EXPECT_EQ(list.line(0), "first");
    EXPECT_EQ(list.lastLine(), "y");
    EXPECT_EQ(list.text(), "first\r\n0123459x\r\ny");
}

TEST(LineCut, ShortLineAndLineOutsideTheListStayAsTheyAre) {
    LineList list;
    list.addLine("12345678");
    int changes = 0;
    list.setObserver([&] { ++changes; });
    list.cutLine(0, 6, 2);
    list.cutLine(5, 1, 1);
    EXPECT_EQ(list.line(0), "12345678");
    EXPECT_EQ(changes, 0);
    list.addLine("123456789");
    list.cutLine(1, 6, 2);
    EXPECT_EQ(list.line(1), "12345689");
    EXPECT_EQ(changes, 2);  // the view follows a cut like any change
}

TEST(LineCut, BytesThatMeetAtTheCutNeverMakeALineBreak) {
    LineList list;
    // A lone CR ends the head and a lone LF starts the tail: joined they would read as CR LF.
    list.addLine("abc\r" + std::string(100, '-') + "\nz");
    list.cutLine(0, 4, 2);
    ASSERT_EQ(list.count(), 1u);
    EXPECT_EQ(list.line(0), "abc\nz");
    EXPECT_EQ(list.text(), "abc\nz\r\n");
}

}  // namespace
}  // namespace qpane
