#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace qpane {

// A row of the board, counted the way every builder, sender and the run-state counter rowNo
// count it: index 1 is row "A", 22 is row "V", the board's last.
class BoardRow {
  public:
    constexpr explicit BoardRow(int index) : index_(index) {}
    static constexpr BoardRow ofLetter(char letter) { return BoardRow(letter - 'A' + 1); }

    constexpr int index() const { return index_; }
    constexpr char letter() const { return static_cast<char>('A' + index_ - 1); }
    // Its element in BoardRows.
    constexpr size_t element() const { return static_cast<size_t>(index_ - 1); }

    friend constexpr bool operator==(BoardRow, BoardRow) = default;

  private:
    int index_;
};

inline constexpr BoardRow kRowA{1};
inline constexpr BoardRow kRowB{2};
inline constexpr BoardRow kRowC{3};

// Row L: a line that starts with the upper-case "L" is a control line of the board, so no
// pattern sends a row L and the test commands address it as "l".
inline constexpr BoardRow kRowL{12};

// The prepared board rows (the run-state boardRows): element k holds BoardRow(k + 1).
using BoardRows = std::array<std::string, 20>;

inline std::string& rowOf(BoardRows& rows, BoardRow row) {
    return rows[row.element()];
}
inline const std::string& rowOf(const BoardRows& rows, BoardRow row) {
    return rows[row.element()];
}

}  // namespace qpane
