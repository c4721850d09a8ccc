#pragma once

// The far end of the tests' serial lines: the master side of a pseudo-terminal.
#include "pseudo_terminal.h"

namespace qpane {
using FarEnd = PseudoTerminal;
}  // namespace qpane
