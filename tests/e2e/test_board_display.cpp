// The board as the simulator shows it, from the lines every sender of the console builds.
#include <gtest/gtest.h>

#include <cstdio>

#include "board_display.h"
#include "board_text.h"
#include "line_view.h"

namespace qpane::sim {
namespace {

TEST(BoardDisplay, PatternRowShowsNumberAndTimeAndTheBlankStartOfItsMask) {
    BoardDisplay board;
    EXPECT_EQ(board.show("A012         1:23.45       : .\r"), BoardLineKind::Row);
    EXPECT_EQ(board.row(0), (BoardRow{"012", "    1:23.45", "  "}));
    // ALPINE-3's rank row and CROSS-4's rank in the time field are shown as they come.
    board.show("A012         P L . 5\r");
    EXPECT_EQ(board.row(0).time, "    P L . 5");
    board.show("B        " + std::string("    1:23.45") + "     : : .\r");
    EXPECT_EQ(board.row(1), (BoardRow{"   ", "    1:23.45", "  "}));
}

TEST(BoardDisplay, TestLinesCarryARankAndRowTwelveIsLowerCaseL) {
    BoardDisplay board;
    board.show("C012     12:34:56.78 90\r");
    EXPECT_EQ(board.row(2), (BoardRow{"012", "12:34:56.78", "90"}));
    EXPECT_EQ(board.show("l888     88:88:88.88 88\r"), BoardLineKind::Row);
    EXPECT_EQ(board.row(11).number, "888");
    board.show("V 22       :22:  .22 01\r");
    EXPECT_EQ(board.row(21), (BoardRow{" 22", "  :22:  .22", "01"}));
}

TEST(BoardDisplay, ShorterLineBlanksTheRestOfItsRow) {
    BoardDisplay board;
    board.show("B012     12:34:56.78 90\r");
    board.show("B                   \r");
    EXPECT_EQ(board.row(1), BoardRow{});
}

TEST(BoardDisplay, ControlBrightnessAndUnaddressedLinesLeaveTheRowsAlone) {
    BoardDisplay board;
    board.show("K012         1:23.45       : .\r");
    board.show("L012     12:34:56.78 90\r");
    const BoardRow rowK = board.row(10);
    const BoardRow rowL = board.row(11);

    EXPECT_EQ(board.show("L888     88:88:88.88 88\r"), BoardLineKind::Control);
    EXPECT_EQ(board.lastControl(), "L888     88:88:88.88 88");
    EXPECT_EQ(board.show("K    9\r"), BoardLineKind::Brightness);
    EXPECT_EQ(board.brightness(), 9);
    EXPECT_EQ(board.show("888     88:88:88.00 88\r"), BoardLineKind::Unaddressed);
    EXPECT_EQ(board.show("        12:34:56.78 90\r"), BoardLineKind::Unaddressed);
    EXPECT_EQ(board.lastUnaddressed(), "        12:34:56.78 90");
    EXPECT_EQ(board.row(10), rowK);
    EXPECT_EQ(board.row(11), rowL);
    EXPECT_EQ(board.linesShown(), 6u);
}

TEST(BoardDisplay, NoiseIsCountedAndShowsAsQuestionMarks) {
    BoardDisplay board;
    EXPECT_EQ(board.show("\x85z12\r"), BoardLineKind::Unknown);
    EXPECT_EQ(board.show("\r"), BoardLineKind::Empty);
    EXPECT_EQ(board.unknownLines(), 1u);
    board.show(std::string("D0\x01", 3) + "2     12:34:56.7\xB8 90\r");
    EXPECT_EQ(board.row(3), (BoardRow{"0?2", "12:34:56.7?", "90"}));
}

TEST(BoardLineReader, CutsAtCrAcrossReadsAndBoundsALineWithoutOne) {
    BoardLineReader reader;
    EXPECT_TRUE(reader.feed("A012   ").empty());
    const auto lines = reader.feed("  1:23.45\rB\r\rC0");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "A012     1:23.45\r");
    EXPECT_EQ(lines[1], "B\r");
    EXPECT_EQ(lines[2], "\r");
    EXPECT_EQ(reader.pending(), "C0");

    const auto noise = BoardLineReader().feed(std::string(150, 'x'));
    ASSERT_EQ(noise.size(), 2u);
    EXPECT_EQ(noise[0].size(), BoardLineReader::kLongestLine);
}

TEST(BoardText, ShowsEveryRowWithItsFieldsAndTheNotes) {
    BoardDisplay board;
    board.show("C012     12:34:56.78 90\r");
    board.show("K    3\r");
    const std::string text = boardText(board, "Q-PANE board on COM2", {"race: over"});
    EXPECT_NE(text.find("brightness 3"), std::string::npos);
    EXPECT_NE(text.find("  C  [012] [12:34:56.78] [90]\n"), std::string::npos);
    EXPECT_NE(text.find("  V  [   ] [           ] [  ]\n"), std::string::npos);
    EXPECT_NE(text.find("  race: over\n"), std::string::npos);
}

// What a LineView writes for a sequence of snapshots, as a file would get it.
class LineViewOutput {
  public:
    LineViewOutput() : file_(std::tmpfile()), view_(file_) {}
    ~LineViewOutput() { std::fclose(file_); }
    void show(const BoardDisplay& board, std::vector<std::string> notes) {
        view_.show({board, "Q-PANE board on COM2", std::move(notes)});
    }
    std::string text() const {
        std::rewind(file_);
        std::string out;
        char buf[512];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, file_)) > 0;)
            out.append(buf, n);
        return out;
    }

  private:
    std::FILE* file_;
    LineView view_;
};

TEST(LineView, PrintsEachChangeOnceAsAPlainLineWithoutEscapeCodes) {
    LineViewOutput out;
    BoardDisplay board;
    out.show(board, {"race: 0 of 2 lines"});
    EXPECT_EQ(out.text(), "Q-PANE board on COM2\n  race: 0 of 2 lines\n")
        << "an empty board shows no rows";

    board.show("A001         1:24.17       : .\r");
    out.show(board, {"race: 1 of 2 lines"});
    board.show("K    4\r");
    board.show("L        99         9  \r");
    out.show(board, {"race: 1 of 2 lines"});
    board.show("A001         1:24.17       : .\r");  // the same row again
    board.show("B002         1:29.98       : .\r");
    out.show(board, {"race: over, 2 lines handed out", "COM1: the console has the port closed"});
    out.show(board, {"race: over, 2 lines handed out", "COM1: the console has the port closed"});

    EXPECT_EQ(out.text(),
              "Q-PANE board on COM2\n"
              "  race: 0 of 2 lines\n"
              "  A  [001] [    1:24.17] [  ]\n"
              "  race: 1 of 2 lines\n"
              "  control  [L        99         9  ]\n"
              "  brightness 4\n"
              "  B  [002] [    1:29.98] [  ]\n"
              "  race: over, 2 lines handed out\n"
              "  COM1: the console has the port closed\n");
}

}  // namespace
}  // namespace qpane::sim
