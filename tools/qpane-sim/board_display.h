#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qpane::sim {

// What one row of the board shows: the number field (3 characters), the time field (11)
// and the rank field (2). Bytes outside printable ASCII show as "?".
struct BoardRow {
    std::string number = std::string(3, ' ');
    std::string time = std::string(11, ' ');
    std::string rank = std::string(2, ' ');
    bool operator==(const BoardRow&) const = default;
};

enum class BoardLineKind {
    Row,          // "A".."V" (row 12 as "l"): a row of the board
    Control,      // "L...": a control line; the board keeps it apart from the rows
    Brightness,   // "K" + 4 blanks + one digit
    Unaddressed,  // a line without row letter (starts with a digit or a blank)
    Empty,
    Unknown,  // anything else: noise on the line, a wrong bit rate
};

// The Q-PANE board: 22 rows, A to V. An addressed line sets the whole row it names from
// its positions (1-based): number field 2 to 4, time field 10 to 20, rank field 22 and 23;
// positions the line does not reach show blank. The test lines carry a rank there; the
// pattern rows carry the blank start of their separator mask, so their rank field is blank.
class BoardDisplay {
  public:
    static constexpr int kRows = 22;

    // Shows one board line (its CR, if any, ends it).
    BoardLineKind show(std::string_view line);

    const BoardRow& row(int index) const { return rows_[static_cast<size_t>(index)]; }
    static char rowLetter(int index) { return static_cast<char>('A' + index); }
    // The last brightness asked for, 0 before any.
    int brightness() const { return brightness_; }
    const std::string& lastControl() const { return lastControl_; }
    const std::string& lastUnaddressed() const { return lastUnaddressed_; }
    uint64_t linesShown() const { return lines_; }
    uint64_t unknownLines() const { return unknown_; }

  private:
    std::array<BoardRow, kRows> rows_{};
    int brightness_ = 0;
    std::string lastControl_;
    std::string lastUnaddressed_;
    uint64_t lines_ = 0;
    uint64_t unknown_ = 0;
};

// Cuts the byte stream of a board line into lines, each with the CR that ends it. A run of
// bytes without CR longer than any board line is cut there and comes out as a line of its
// own, so that noise cannot make a line grow without end.
class BoardLineReader {
  public:
    static constexpr size_t kLongestLine = 64;
    std::vector<std::string> feed(std::string_view bytes);
    // Bytes after the last CR.
    const std::string& pending() const { return pending_; }

  private:
    std::string pending_;
};

}  // namespace qpane::sim
