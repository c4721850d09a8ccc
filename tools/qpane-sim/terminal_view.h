#pragma once

#include <cstdio>

#include "simulator.h"

namespace qpane::sim {

// Draws the board in a terminal, from the top of the screen, whenever it changes.
class TerminalView {
  public:
    explicit TerminalView(std::FILE* out) : out_(out) {}
    void show(const BoardSnapshot& snapshot);

  private:
    std::FILE* out_;
};

}  // namespace qpane::sim
