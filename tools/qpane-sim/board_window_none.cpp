// qpane-sim built without Qt: no window.
#include <cstdio>

#include "board_window.h"

namespace qpane::sim {

bool windowsAvailable() {
    return false;
}

int runWithWindow(Simulator&, int, std::function<void(const BoardSnapshot&)>, int, char**) {
    std::fprintf(stderr, "qpane-sim: built without Qt, so without --window\n");
    return 2;
}

}  // namespace qpane::sim
