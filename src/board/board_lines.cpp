#include "board/board_lines.h"

#include <cstdio>

#include "input/time_values.h"

namespace qpane {

namespace {
// Row letters of the board as the test commands address them: row 12 is the lower-case "l",
// since the upper-case "L" starts a control line.
std::string testRowLetter(int row) {
    return BoardRow(row) == kRowL ? "l" : std::string(1, BoardRow(row).letter());
}
}  // namespace

std::string blankBoardRow(BoardRow row) {
    return std::string(1, row.letter()) + std::string(29, ' ') + "\r";
}

void resetBoardRows(BoardRows& rows, int& rowNo) {
    for (rowNo = 1; rowNo <= 10; ++rowNo)
        rowOf(rows, BoardRow(rowNo)) = blankBoardRow(BoardRow(rowNo));
}

bool showsSomething(std::string_view row, size_t from, size_t to) {
    if (from < 1 || from > row.size() || to < from) return false;
    return !trimControl(row.substr(from - 1, to - from + 1)).empty();
}

std::vector<std::string> allNullLines(bool sharedPort) {
    if (sharedPort) return {"H        00:  :  .  9  \r", "L        99         9  \r"};
    return {"        00:  :  .  9  \r", "L         99         9  \r"};
}

std::vector<std::string> allEightLines(bool sharedPort) {
    if (sharedPort) return {"        88:88:88.88 88\r", "L888     88:88:88.88 88\r"};
    std::vector<std::string> lines = {"        88:88:88.88 88\r", "888     88:88:88.88 88\r"};
    for (int row = 1; row <= 22; ++row) {
        const bool hours8 = row <= 2 || row == 11 || row == 12;
        lines.push_back(testRowLetter(row) + "888     " + (hours8 ? "88" : "99") +
                        ":88:88.88 88\r");
    }
    return lines;
}

std::vector<std::string> oneToZeroLines(bool sharedPort) {
    std::vector<std::string> lines = {"        12:34:56.78 90\r", "012     12:34:56.78 90\r"};
    const int rows = sharedPort ? 10 : 22;
    for (int row = 1; row <= rows; ++row)
        lines.push_back(testRowLetter(row) + "012     12:34:56.78 90\r");
    return lines;
}

std::vector<std::string> showAddressLines(bool sharedPort) {
    if (sharedPort) {
        return {
            "        12:34:56.78 90\r",  " 00       :00:00.00   \r",  "A 01       :11:11.11   \r",
            "B 02       :22:22.22   \r", "C 03     33:33:33.33 90\r", "D 04       :44:44.44 90\r",
            "E 05       :55:55.55 90\r", "F 06       :66:66.66 90\r", "G 07       :77:77.77 90\r",
            "H 08       :88:88.88 90\r", "I 09       :99:99.99 90\r", "J 10       :01:01.01 01\r"};
    }
    std::vector<std::string> lines = {"        12:34:56.78 90\r", "000       :00:00.00   \r"};
    for (int row = 1; row <= 22; ++row) {
        char field[8];
        std::snprintf(field, sizeof field, "%.2d", row);
        // Row H of the separate port carries "888" in its number field.
        const std::string numberField = row == 8 ? "888" : std::string(" ") + field;
        const std::string hours = (row == 3 || row == 13) ? "33" : "  ";
        std::string rank;
        if (row <= 2 || row == 11 || row == 12)
            rank = "  ";
        else if (row == 10 || row >= 20)
            rank = "01";
        else
            rank = "90";
        lines.push_back(testRowLetter(row) + numberField + "     " + hours + ":" + field + ":  ." +
                        field + " " + rank + "\r");
    }
    return lines;
}

std::string brightnessLine(int position) {
    return "K    " + std::to_string(position) + "\r";
}

std::vector<std::string> brightnessCommandLines(int position) {
    return {brightnessLine(position), "888     88:88:88.00 88\r", "L888     88:88:88.01 88\r"};
}

}  // namespace qpane
