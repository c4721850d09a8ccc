#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "results/result_list.h"

namespace qpane::results {

enum class Encoding { Utf8, ShiftJis };

// What the operator types once for every list of the race.
struct ListHeading {
    std::string title;
    std::string date;
};

// The list as CSV for a spreadsheet: a caption row, then one row per competitor, group after
// group ("ブロック" first, then the columns of the list); lines end in CR LF. A field that
// holds a comma, a quote, a line end or a leading or trailing blank is put in quotes, its
// quotes doubled. UTF-8 starts with a byte-order mark, so that a spreadsheet takes the text
// as UTF-8; Shift-JIS has none. Throws EncodingError (platform/shift_jis.h) when a value has
// no Shift-JIS form.
std::string csvOf(const ResultList& list, Encoding encoding);

// The list as plain text to read or print: the heading, then each group with its caption and
// columns aligned (a Japanese character counts two places); lines end in LF.
std::string textOf(const ResultList& list, const ListHeading& heading, Encoding encoding);

// The places a text takes in a fixed-width font: two for a wide (Japanese) character.
size_t displayWidth(std::string_view utf8);

// Writes bytes as the file's whole content: into a new temporary file beside it, renamed over
// it once written and flushed, so that the file is either the old one or the new one. Throws
// std::runtime_error naming the file and the system's reason.
void writeWholeFile(const std::filesystem::path& file, std::string_view bytes);

}  // namespace qpane::results
