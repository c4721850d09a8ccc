#include "terminal_view.h"

#include "board_text.h"

namespace qpane::sim {

void TerminalView::show(const BoardSnapshot& snapshot) {
    const std::string text =
        "\x1b[H\x1b[2J" + boardText(snapshot.board, snapshot.heading, snapshot.notes);
    std::fwrite(text.data(), 1, text.size(), out_);
    std::fflush(out_);
}

}  // namespace qpane::sim
