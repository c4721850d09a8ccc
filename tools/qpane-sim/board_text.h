#pragma once

#include <string>
#include <vector>

#include "board_display.h"

namespace qpane::sim {

// The board as text, one row per line, for a terminal or a file:
//   heading
//        no.   time         rk
//    A  [012] [    1:23.45] [  ]
//   ...
//   control  [L        99         9  ]
//   line     [888     88:88:88.00 88]
// followed by the notes (a mismatch of line settings, the state of the race).
std::string boardText(const BoardDisplay& board, const std::string& heading,
                      const std::vector<std::string>& notes);

}  // namespace qpane::sim
