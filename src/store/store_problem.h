#pragma once

#include <string>

#include "store/query.h"

namespace qpane {

// What the operator is told when the store's file or its disk fails, by SQLite's result code:
// one line saying in Japanese what is wrong and what to do. Empty for a code that is not about
// the file or the disk (a statement that is wrong, a constraint, ...).
std::string storeProblem(int code);

// The failures that a sound statement meets while the file or the disk cannot take it (full,
// read-only, unreachable, held by another program, an I/O error): the same statement succeeds
// once the cause is gone.
bool isWriteFailure(int code);

// The error for SQLite's code and text: the Japanese line of storeProblem first, when there is
// one, and the engine's text on the lines after it.
EDatabaseError storeError(int code, const std::string& engineText);

}  // namespace qpane
