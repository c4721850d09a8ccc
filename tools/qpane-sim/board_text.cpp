#include "board_text.h"

namespace qpane::sim {

std::string boardText(const BoardDisplay& board, const std::string& heading,
                      const std::vector<std::string>& notes) {
    std::string out = heading;
    out += "  brightness ";
    out += board.brightness() > 0 ? std::to_string(board.brightness()) : "-";
    out += "  lines " + std::to_string(board.linesShown()) + "\n";
    out += "      no.   time         rk\n";
    for (int i = 0; i < BoardDisplay::kRows; ++i) {
        const BoardRow& row = board.row(i);
        out += "  ";
        out += BoardDisplay::rowLetter(i);
        out += "  [" + row.number + "] [" + row.time + "] [" + row.rank + "]\n";
    }
    out += "  control  [" + board.lastControl() + "]\n";
    out += "  line     [" + board.lastUnaddressed() + "]\n";
    for (const std::string& note : notes)
        out += "  " + note + "\n";
    return out;
}

}  // namespace qpane::sim
