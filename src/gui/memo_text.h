#pragma once

#include <QString>

#include <cstddef>
#include <string_view>

namespace qpane {

// How a memo shows the bytes of one of its lines. Valid UTF-8 is shown as its characters;
// every other byte as U+FFFD, one per byte, so that the text of a line that grows is the text
// it had plus the text of what was added (see incompleteTail). CR and LF, which the memos only
// see at the end of board rows, are not shown; other control bytes show as their control
// pictures (STX as U+2402). Characters that would start a paragraph or act as the text
// document's own markers show as U+FFFD, so one line is always one paragraph.
QString memoText(std::string_view bytes);

// The number of bytes at the end of bytes (0 to 3) that begin a UTF-8 sequence that more
// bytes could still complete. memoText shows each of them as U+FFFD for now.
size_t incompleteTail(std::string_view bytes);

// A memo shows at most this many bytes of a line, then an ellipsis: a device that sends
// without ever ending a line must not make every refresh lay out a megabyte.
inline constexpr size_t kMemoLineBytes = 2000;
// A memo shows at most this many lines, the newest: far more than the logs keep.
inline constexpr size_t kMemoLines = 1000;
inline constexpr char16_t kMemoEllipsis = u'\u2026';

// The part of a line that a memo shows: all of it, or its first kMemoLineBytes bytes (less a
// character cut there) when it is longer.
struct ShownPart {
    std::string_view bytes;
    bool cut = false;
};
ShownPart shownPart(std::string_view line);

// The whole text a memo shows for a line.
QString memoLineText(std::string_view line);

}  // namespace qpane
