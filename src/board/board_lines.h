#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "board/board_row.h"

namespace qpane {

// A blank board row: the row letter and 29 spaces, then CR.
std::string blankBoardRow(BoardRow row);

// dpscl: rows A to J become blank rows (rowNo counts them and ends at 11); the rows after J
// keep what they hold.
void resetBoardRows(BoardRows& rows, int& rowNo);

// Whether characters from..to (1-based) of a row hold anything but blanks and control
// characters; characters the row does not have count as blank.
bool showsSomething(std::string_view row, size_t from, size_t to);

// The lines of the board test commands, for the shared port (input and board on one line)
// or for the separate board port.
std::vector<std::string> allNullLines(bool sharedPort);
std::vector<std::string> allEightLines(bool sharedPort);
std::vector<std::string> oneToZeroLines(bool sharedPort);
std::vector<std::string> showAddressLines(bool sharedPort);

// "K    " and the brightness digit, then CR.
std::string brightnessLine(int position);
// What "Set" sends: the brightness line and the two lines that make the board take it.
std::vector<std::string> brightnessCommandLines(int position);

// The control line that goes twice to the board port before the first result of a group.
inline constexpr const char* kFirstResultCommand = "L        99         9  \r";

}  // namespace qpane
