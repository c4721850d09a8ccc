#pragma once

#include <string>
#include <string_view>

namespace qpane {

// A byte string as printable text in double quotes: \r \n \t \\ \" escaped, every other byte
// outside 0x20..0x7E as \xHH with upper-case digits. The replay transcript and the traffic
// journal write bytes this way.
std::string quoteBytes(std::string_view bytes);

// Without the blanks and tabs at either end, as the settings file reads names and values.
std::string_view trimBlanks(std::string_view s);

// Equal but for the case of the ASCII letters (names of settings keys, tables, columns).
bool equalsNoCase(std::string_view a, std::string_view b);

}  // namespace qpane
