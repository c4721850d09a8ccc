#pragma once

#include <string>
#include <vector>

namespace qpane {

// A blank board row: the row letter of row n (1 = "A") and 29 spaces, then CR.
std::string blankBoardRow(int row);

// The lines of the board test commands, for the shared port (input and board on one line)
// or for the separate board port.
std::vector<std::string> allNullLines(bool sharedPort);
std::vector<std::string> allEightLines(bool sharedPort);
std::vector<std::string> oneToZeroLines(bool sharedPort);
std::vector<std::string> showAddressLines(bool sharedPort);

// "K    " and the brightness digit, then CR.
std::string brightnessLine(int position);

// The control line that goes twice to the board port before the first result of a group.
inline constexpr const char* kFirstResultCommand = "L        99         9  \r";

}  // namespace qpane
