#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include "patterns/cross/cross_context.h"

// What the cross-country routines share to read a queued timing line and to run their
// statements.
namespace qpane::cross {

// The character at 1-based position pos; '\0' when the text is shorter.
char charAt(std::string_view text, size_t pos);

// Up to count characters from 1-based position pos; characters that do not exist are left
// out, so a short line gives a short or empty piece instead of an error.
std::string copyText(std::string_view text, size_t pos, size_t count);

// Replaces the statement of a query by these lines (which closes the query).
void setSql(TQuery& query, std::initializer_list<std::string_view> lines);

// The first line of the input queue followed by CR becomes workLine; blockNo is the line's
// position 3 and bibNo its positions 4 to 6, without the CR when the line is shorter.
void takeQueuedLine(CrossContext& c);

// timeText from positions 7 to 17 of workLine, completed to the full form; a blank
// position 17 means a device that times in tenths, whose time gets a 0 as hundredths.
void takePassTime(CrossContext& c);

// Whether workLine carries this record code and a time that could be read. A line cut
// short on the way has no time: storing it would wipe the runner's stored time and put
// "0.00" on the board, so such a line is dropped like a line of another code.
bool isStorablePass(const CrossContext& c, char code);

}  // namespace qpane::cross
