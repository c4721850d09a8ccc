#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace qpane {

// A text that has no Shift-JIS form: a character outside the code page (or bytes that are not
// UTF-8). The message names the first such character and its place.
class EncodingError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// UTF-8 to Shift-JIS in the Windows code page 932, the one Japanese spreadsheets and the
// console's own files use (it has the circled digits and the full-width tilde). Throws
// EncodingError rather than writing a replacement, so that nothing comes out changed.
std::string utf8ToShiftJis(std::string_view utf8);

// Shift-JIS (code page 932) to UTF-8. Throws EncodingError for bytes that are not Shift-JIS.
std::string shiftJisToUtf8(std::string_view sjis);

}  // namespace qpane
