// The board commands: the lines of each test pattern and of the brightness, sent as one
// command each.
#include "board/board_commands.h"

#include "board/board_lines.h"
#include "board/board_output.h"

namespace qpane {

void sendBoardTest(BoardOutput& output, BoardTest test) {
    const bool shared = output.sharing() == PortSharing::Shared;
    switch (test) {
        case BoardTest::AllNull: output.sendCommand(allNullLines(shared)); break;
        case BoardTest::AllEight: output.sendCommand(allEightLines(shared)); break;
        case BoardTest::OneToZero: output.sendCommand(oneToZeroLines(shared)); break;
        case BoardTest::ShowAddress: output.sendCommand(showAddressLines(shared)); break;
    }
}

void sendBrightness(BoardOutput& output, int position) {
    output.sendCommand(brightnessCommandLines(position), 200);
}

}  // namespace qpane
