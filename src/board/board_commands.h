#pragma once

namespace qpane {

class BoardOutput;

// The test patterns of the board control page.
enum class BoardTest { AllNull, AllEight, OneToZero, ShowAddress };

// A test pattern, in the lines of the port choice in force, to the board port.
void sendBoardTest(BoardOutput& output, BoardTest test);

// "Set": the brightness of the track bar's position, 200 ms between its lines.
void sendBrightness(BoardOutput& output, int position);

}  // namespace qpane
