#pragma once

#include <functional>

#include "simulator.h"

namespace qpane::sim {

// Whether this build shows windows (it is built with Qt).
bool windowsAvailable();

// Plays sim on a thread of its own and shows the board in a small window until the window
// is closed or the simulator stops (a signal on signalFd). alsoShow gets every change too,
// on the simulator's thread. Returns the program's exit status.
int runWithWindow(Simulator& sim, int signalFd, std::function<void(const BoardSnapshot&)> alsoShow,
                  int argc, char** argv);

}  // namespace qpane::sim
