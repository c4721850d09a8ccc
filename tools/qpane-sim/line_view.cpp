#include "line_view.h"

#include <algorithm>

namespace qpane::sim {

void LineView::show(const BoardSnapshot& snapshot) {
    std::string text;
    if (!started_ || snapshot.heading != heading_) text += snapshot.heading + "\n";
    const BoardDisplay& board = snapshot.board;
    for (int i = 0; i < BoardDisplay::kRows; ++i) {
        const BoardRow& row = board.row(i);
        if (started_ && row == board_.row(i)) continue;
        if (!started_ && row == BoardRow{}) continue;
        text += "  ";
        text += BoardDisplay::rowLetter(i);
        text += "  [" + row.number + "] [" + row.time + "] [" + row.rank + "]\n";
    }
    if (board.lastControl() != board_.lastControl())
        text += "  control  [" + board.lastControl() + "]\n";
    if (board.lastUnaddressed() != board_.lastUnaddressed())
        text += "  line     [" + board.lastUnaddressed() + "]\n";
    if (board.brightness() != board_.brightness())
        text += "  brightness " + std::to_string(board.brightness()) + "\n";
    for (const std::string& note : snapshot.notes)
        if (std::find(notes_.begin(), notes_.end(), note) == notes_.end())
            text += "  " + note + "\n";

    started_ = true;
    heading_ = snapshot.heading;
    board_ = board;
    notes_ = snapshot.notes;
    if (text.empty()) return;
    std::fwrite(text.data(), 1, text.size(), out_);
    std::fflush(out_);
}

}  // namespace qpane::sim
