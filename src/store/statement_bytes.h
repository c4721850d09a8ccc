#pragma once

#include <string>
#include <string_view>

namespace qpane {

// SQLite reads a statement only up to its first NUL byte, so a value between single quotes
// that holds one (a timing line carries whatever bytes the serial line delivered) would cut
// the statement short. Such a value is handed to the engine as its bytes in hex,
// CAST(X'..' AS TEXT), which stores exactly the same bytes. A NUL byte outside a quoted value
// cannot belong to a statement: EDatabaseError. A text without NUL bytes comes back unchanged.
std::string withNulBytesSpelled(std::string_view sql);

}  // namespace qpane
