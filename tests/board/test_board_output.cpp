#include <gtest/gtest.h>

#include "board/board_lines.h"
#include "board_ports.h"

namespace qpane::testing {
namespace {

using Lines = std::vector<std::string>;

class BoardOutputTest : public ::testing::Test, public BoardPorts {
  protected:
    // Rows A to M as an alpine pass leaves them: A, C and M show something, the others are
    // blank rows (B is blank after its letter only from character 3 on).
    void SetUp() override {
        resetBoardRows(rows, rowNo);
        rowOf(rows, BoardRow(1)) = "A012     1:23.45\r";
        rowOf(rows, BoardRow(2)) = "BD" + std::string(18, ' ') + "\r";
        rowOf(rows, BoardRow(3)) = "C007     1:20.00\r";
        rowOf(rows, BoardRow(11)) = "K" + std::string(29, ' ') + "\r";
        rowOf(rows, kRowL) = "L is never sent\r";
        rowOf(rows, BoardRow(13)) = "M033     1:30.00\r";
        rowNo = -1;
    }
    BoardRows rows;
    int rowNo = 0;
};

TEST_F(BoardOutputTest, LineGoesToThePortOfTheSharingWhileItIsOpen) {
    output.send("shared\r");
    port1Open = false;
    output.send("dropped: CommX1 closed, CommX2 open but not the board's\r");
    pinout = 1;
    output.send("separate\r");
    port2Open = false;
    output.send("dropped: CommX2 closed\r");
    pinout = 4;  // a hand-edited Pinout separates the ports as well
    port2Open = true;
    output.send("separate again\r");
    EXPECT_EQ(sends(), (Lines{"0 COM1 shared\r", "0 COM2 separate\r", "0 COM2 separate again\r"}));
    EXPECT_EQ(sendText, "");  // board rows do not pass through sendText
}

// The board mirror follows onSent: it must hear of every line that went out, through every
// way a line goes, and of none that a closed port dropped.
TEST_F(BoardOutputTest, OnSentTellsTheLinesThatWentOutAndNoneDropped) {
    Lines told;
    output.onSent = [&](std::string_view line) { told.emplace_back(line); };
    output.send("A single\r");
    output.sendRows(rows, rowNo, 1, 1, 0);
    PassRows onlyRowA;
    onlyRowA.last = 1;
    output.sendPassRows(rows, rowNo, onlyRowA);
    output.sendCommand({"K    5\r", "L888\r"});
    port1Open = false;
    output.send("dropped\r");
    output.sendRows(rows, rowNo, 3, 3, 0);
    output.sendCommand({"dropped too\r"});
    EXPECT_EQ(told, (Lines{"A single\r", rows[0], rows[0], "K    5\r", "L888\r"}));
    Lines sent;
    for (const std::string& s : sends())
        sent.push_back(s.substr(s.find("COM1 ") + 5));
    EXPECT_EQ(sent, told);
}

TEST_F(BoardOutputTest, BoardPortFollowsTheSettingsAtEverySend) {
    EXPECT_EQ(output.boardPort(), &commX1);
    pinout = 1;
    EXPECT_EQ(output.boardPort(), &commX2);
    EXPECT_EQ(output.sharing(), PortSharing::Separate);
    port2Open = false;
    EXPECT_EQ(output.boardPort(), nullptr);
    EXPECT_FALSE(output.boardPortOpen());
}

TEST_F(BoardOutputTest, PaceRowsWaitAfterEveryRowEvenWithThePortClosed) {
    output.sendRows(rows, rowNo, 1, 3, 200);
    EXPECT_EQ(sends(), (Lines{"0 COM1 " + rows[0], "200 COM1 " + rows[1], "400 COM1 " + rows[2]}));
    EXPECT_EQ(rowNo, 4);
    port1Open = false;
    output.sendRows(rows, rowNo, 3, 10, 100);
    EXPECT_EQ(sends().size(), 3u);
    EXPECT_EQ(elapsed(), 600 + 800);
    EXPECT_EQ(rowNo, 11);
}

TEST_F(BoardOutputTest, PassRowsOnTheSharedPortGoAllAndUnlogged) {
    PassRows plan;
    plan.last = 13;
    plan.skipRowL = true;
    plan.separate.blankFrom = 2;
    output.sendPassRows(rows, rowNo, plan);
    Lines expected;
    for (int r = 1; r <= 13; ++r)
        if (r != 12)
            expected.push_back(std::to_string(50 * (r < 12 ? r - 1 : r - 2)) + " COM1 " +
                               rows[static_cast<size_t>(r - 1)]);
    EXPECT_EQ(sends(), expected);
    EXPECT_EQ(rowNo, 14);
    EXPECT_EQ(elapsed(), 12 * 50);
    EXPECT_TRUE(logLines().empty());
}

TEST_F(BoardOutputTest, PassRowsOnTheSeparatePortSkipBlankRowsWithoutWaiting) {
    pinout = 1;
    PassRows plan;
    plan.last = 13;
    plan.skipRowL = true;
    plan.separate.blankFrom = 2;
    plan.separate.log = RowLog::EveryRow;
    output.sendPassRows(rows, rowNo, plan);
    // Row B shows a "D" in character 2: it goes with the filter from 2.
    EXPECT_EQ(sends(), (Lines{"0 COM2 " + rows[0], "50 COM2 " + rows[1], "100 COM2 " + rows[2],
                              "150 COM2 " + rows[12]}));
    EXPECT_EQ(elapsed(), 200);
    // Every row of the loop is logged, row L excepted.
    Lines logged(rows.begin(), rows.begin() + 11);
    logged.push_back(rows[12]);
    EXPECT_EQ(logLines(), logged);
    EXPECT_EQ(rowNo, 14);
}

TEST_F(BoardOutputTest, FilterFromCharacterThreeAndSentRowsLoggedWithTheirPort) {
    pinout = 1;
    PassRows plan;
    plan.separate.blankFrom = 3;
    plan.separate.log = RowLog::SentRows;
    plan.separate.logSuffix = "/2";
    output.sendPassRows(rows, rowNo, plan);
    EXPECT_EQ(sends(), (Lines{"0 COM2 " + rows[0], "50 COM2 " + rows[2]}));
    EXPECT_EQ(logLines(), (Lines{rows[0] + "/2", rows[2] + "/2"}));
    EXPECT_EQ(rowNo, 11);
}

TEST_F(BoardOutputTest, ClosedPortTakesNoPassRowsAndLeavesTheCounter) {
    port1Open = false;
    PassRows plan;
    plan.shared.log = RowLog::EveryRow;
    output.sendPassRows(rows, rowNo, plan);
    EXPECT_TRUE(sends().empty());
    EXPECT_TRUE(logLines().empty());
    EXPECT_EQ(rowNo, -1);
    EXPECT_EQ(elapsed(), 0);
}

TEST_F(BoardOutputTest, HeldRowsAreCountedOrLeftAlone) {
    PassRows plan;
    plan.shared.log = RowLog::SentRows;
    plan.shared.rows = PortRowRule::Rows::CountedOnly;
    output.sendPassRows(rows, rowNo, plan);
    EXPECT_EQ(rowNo, 11);
    plan.shared.rows = PortRowRule::Rows::Skipped;
    rowNo = 5;
    output.sendPassRows(rows, rowNo, plan);
    EXPECT_EQ(rowNo, 5);
    EXPECT_TRUE(sends().empty());
    EXPECT_TRUE(logLines().empty());
    EXPECT_EQ(elapsed(), 0);
}

TEST_F(BoardOutputTest, CommandKeepsItsPortAndPassesEveryLineThroughSendText) {
    output.sendCommand({"one\r", "two\r", "three\r"}, 200);
    EXPECT_EQ(sends(), (Lines{"0 COM1 one\r", "200 COM1 two\r", "400 COM1 three\r"}));
    port1Open = false;
    output.sendCommand({"lost\r", "last\r"}, 200);
    EXPECT_EQ(sends().size(), 3u);
    EXPECT_EQ(sendText, "last\r");
    EXPECT_EQ(elapsed(), 600);  // the waits of a command happen with its port closed too
}

TEST_F(BoardOutputTest, FirstResultCommandGoesTwiceToCommX2WhateverTheSharing) {
    output.sendFirstResultCommand();
    port2Open = false;  // the flag does not hold it back: the port itself decides
    output.sendFirstResultCommand();
    commX2.Close();
    const size_t before = sends().size();
    output.sendFirstResultCommand();
    EXPECT_EQ(sends().size(), before);
    const std::string line = kFirstResultCommand;
    EXPECT_EQ(sends(), (Lines(4, "0 COM2 " + line)));
    EXPECT_EQ(sendText, line);
}

TEST_F(BoardOutputTest, LogEntryEndsWithAnEmptyLineAndKeepsTheNewest38) {
    for (int i = 1; i <= 40; ++i)
        output.log("line " + std::to_string(i));
    EXPECT_EQ(outputLog.count(), 40u);  // lines alone are not trimmed
    output.endLogEntry();
    const Lines kept = logLines();
    ASSERT_EQ(kept.size(), 38u);
    EXPECT_EQ(kept.front(), "line 4");
    EXPECT_EQ(kept[36], "line 40");
    EXPECT_EQ(kept.back(), "");
}

TEST_F(BoardOutputTest, ShortLogKeepsEverything) {
    output.log("A");
    output.endLogEntry();
    output.endLogEntry();
    EXPECT_EQ(logLines(), (Lines{"A", "", ""}));
}

}  // namespace
}  // namespace qpane::testing
