// The board control page's board buttons and dpscl: the window's handlers over the board
// output.
#include "app/fqpane.h"
#include "board/board_commands.h"
#include "board/board_lines.h"

namespace qpane {

void TFqpane::dpscl() {
    resetBoardRows(boardRows, rowNo);
}

void TFqpane::CuteButton28Click() {
    sendBoardTest(boardOutput, BoardTest::AllNull);
}

void TFqpane::CuteButton29Click() {
    sendBoardTest(boardOutput, BoardTest::AllEight);
}

void TFqpane::CuteButton58Click() {
    sendBoardTest(boardOutput, BoardTest::OneToZero);
}

void TFqpane::CuteButton61Click() {
    sendBoardTest(boardOutput, BoardTest::ShowAddress);
}

void TFqpane::CuteButton1Click() {
    sendBrightness(boardOutput, TBarbright.Position());
}

}  // namespace qpane
