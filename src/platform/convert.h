#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace qpane {

// A text that was to be a whole number and is not: the window's standard conversion error.
class EConvertError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Decimal whole number: leading blanks, an optional sign, digits, within 32 bits. Anything
// else throws EConvertError.
int StrToInt(std::string_view text);

// As StrToInt, but a text that does not convert gives def.
int StrToIntDef(std::string_view text, int def);

// As StrToInt for 64 bits.
int64_t StrToInt64(std::string_view text);

// "%.3d": at least three digits, zero-filled (1 -> "001", -5 -> "-005").
std::string formatBib(int64_t n);

}  // namespace qpane
