#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "simulator.h"

namespace qpane::sim {

// Shows the board as plain lines, for an output that is not a terminal (a file, a pipe, a
// log): the heading once, then each row, control line, brightness and note as it changes,
// one line each, so that the output reads from top to bottom without escape codes.
class LineView {
  public:
    explicit LineView(std::FILE* out) : out_(out) {}
    void show(const BoardSnapshot& snapshot);

  private:
    std::FILE* out_;
    bool started_ = false;
    std::string heading_;
    BoardDisplay board_;
    std::vector<std::string> notes_;
};

}  // namespace qpane::sim
