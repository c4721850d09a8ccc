#include <gtest/gtest.h>

#include "board/board_commands.h"
#include "board/board_lines.h"
#include "board_ports.h"

namespace qpane::testing {
namespace {

using Lines = std::vector<std::string>;

class BoardCommandTest : public ::testing::Test, public BoardPorts {
  protected:
    // The bytes of each send to COMn, without their times.
    Lines sentTo(int portNo) const {
        Lines out;
        const std::string port = " COM" + std::to_string(portNo) + " ";
        for (const std::string& s : sends()) {
            const size_t at = s.find(port);
            if (at != std::string::npos) out.push_back(s.substr(at + port.size()));
        }
        return out;
    }
};

TEST_F(BoardCommandTest, OneToZeroHasTwelveLinesSharedAndTwentyFourSeparate) {
    sendBoardTest(output, BoardTest::OneToZero);
    const Lines shared = sentTo(1);
    ASSERT_EQ(shared.size(), 12u);
    EXPECT_EQ(shared[2], "A012     12:34:56.78 90\r");
    EXPECT_EQ(shared.back(), "J012     12:34:56.78 90\r");
    pinout = 1;
    sendBoardTest(output, BoardTest::OneToZero);
    const Lines separate = sentTo(2);
    ASSERT_EQ(separate.size(), 24u);
    EXPECT_EQ(separate[13], "l012     12:34:56.78 90\r");  // row 12 as the lower-case "l"
    EXPECT_EQ(separate.back(), "V012     12:34:56.78 90\r");
    EXPECT_EQ(elapsed(), 0);  // the test patterns send without a pause
    EXPECT_EQ(sendText, separate.back());
}

TEST_F(BoardCommandTest, TestPatternsFollowThePortChoice) {
    sendBoardTest(output, BoardTest::AllNull);
    EXPECT_EQ(sentTo(1), (Lines{"H        00:  :  .  9  \r", "L        99         9  \r"}));
    pinout = 1;
    sendBoardTest(output, BoardTest::AllNull);
    EXPECT_EQ(sentTo(2), (Lines{"        00:  :  .  9  \r", "L         99         9  \r"}));
    sendBoardTest(output, BoardTest::AllEight);
    sendBoardTest(output, BoardTest::ShowAddress);
    const Lines separate = sentTo(2);
    ASSERT_EQ(separate.size(), 2u + 24u + 24u);
    EXPECT_EQ(separate[2 + 2 + 2], "C888     99:88:88.88 88\r");
    EXPECT_EQ(separate[2 + 24 + 9], "H888       :08:  .08 90\r");
}

TEST_F(BoardCommandTest, CommandWithItsPortClosedSendsNothingButKeepsSendText) {
    port1Open = false;
    sendBoardTest(output, BoardTest::AllEight);
    sendBoardTest(output, BoardTest::ShowAddress);
    EXPECT_TRUE(sends().empty());  // CommX2 is open but not the board's port
    EXPECT_EQ(sendText, "J 10       :01:01.01 01\r");
}

TEST_F(BoardCommandTest, BrightnessSendsItsThreeLines200MsApart) {
    pinout = 1;
    sendBrightness(output, 9);
    EXPECT_EQ(sends(), (Lines{"0 COM2 K    9\r", "200 COM2 888     88:88:88.00 88\r",
                              "400 COM2 L888     88:88:88.01 88\r"}));
}

TEST(BoardRows, DpsclBlanksRowsAToJAndLeavesTheRest) {
    BoardRows rows;
    rows[10] = "K kept\r";
    rows[0] = "A old\r";
    int rowNo = 0;
    resetBoardRows(rows, rowNo);
    EXPECT_EQ(rows[0], "A" + std::string(29, ' ') + "\r");
    EXPECT_EQ(rows[9], "J" + std::string(29, ' ') + "\r");
    EXPECT_EQ(rows[10], "K kept\r");
    EXPECT_EQ(rowNo, 11);
}

TEST(BoardRows, OneCountingForIndexLetterAndElement) {
    EXPECT_EQ(BoardRow(1).letter(), 'A');
    EXPECT_EQ(BoardRow(1).element(), 0u);
    EXPECT_EQ(BoardRow(22).letter(), 'V');
    EXPECT_EQ(BoardRow::ofLetter('M').index(), 13);
    EXPECT_EQ(kRowL.letter(), 'L');
    EXPECT_EQ(blankBoardRow(BoardRow(3)).size(), 31u);
}

TEST(BoardRows, ShowsSomethingLooksOnlyAtTheGivenCharacters) {
    const std::string blankRow = "C" + std::string(29, ' ') + "\r";
    EXPECT_FALSE(showsSomething(blankRow, 3, 20));
    EXPECT_FALSE(showsSomething("B                   \r", 2, 20));
    EXPECT_FALSE(showsSomething("BD\r", 3, 20));
    EXPECT_TRUE(showsSomething("BD\r", 2, 20));
    EXPECT_FALSE(showsSomething("", 3, 20));
    EXPECT_FALSE(showsSomething("A\t\r\x01", 2, 20));  // control characters count as blank
    EXPECT_TRUE(showsSomething("A012         P L . 1\r", 3, 20));
    // Characters 3 to 20 of a difference row hold "IF" and the time.
    EXPECT_TRUE(showsSomething("CDIF            0.00         .\r", 3, 20));
    // Past character 20 nothing counts.
    EXPECT_FALSE(showsSomething("A" + std::string(19, ' ') + "X\r", 2, 20));
}

TEST(PortSharing, PinoutZeroSharesAndAnyOtherValueSeparates) {
    EXPECT_EQ(portSharingOf(0), PortSharing::Shared);
    EXPECT_EQ(portSharingOf(1), PortSharing::Separate);
    EXPECT_EQ(portSharingOf(-3), PortSharing::Separate);
    EXPECT_EQ(portSharingOf(4), PortSharing::Separate);
}

}  // namespace
}  // namespace qpane::testing
