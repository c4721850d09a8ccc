#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

namespace qpane {

// The text of a memo read as lines: only the pair CR LF separates lines, wherever it comes
// from; a lone CR or LF is an ordinary character. Appending a byte costs O(1).
class LineList {
  public:
    // Adds one byte at the end of the text (it joins the last line).
    void appendByte(char b);
    // Appends CR LF.
    void endLine();
    // When the last line is empty: appends s and CR LF; otherwise CR LF and s.
    void addLine(std::string_view s);
    // The lines, not counting a final empty line.
    size_t count() const { return lines_.size() - (lines_.back().empty() ? 1 : 0); }
    // Line i from 0, without its CR LF.
    const std::string& line(size_t i) const { return lines_[i]; }
    // Whether the text ends inside a line (its last counted line is still being written).
    bool endsInLine() const { return !lines_.back().empty(); }
    // The last counted line; "" when there is none.
    const std::string& lastLine() const;
    // Removes line i and the CR LF that follows it.
    void deleteLine(size_t i);
    // Keeps of line i, when it is longer than head + tail bytes, its first head and its last
    // tail bytes only (a log that a device fills without ever ending a line). Bytes that
    // join the line later still follow its last byte. The line stays one line.
    void cutLine(size_t i, size_t head, size_t tail);
    void clear();
    // The whole text.
    std::string text() const;

    // Called after every change (the window refreshes its memo from it).
    void setObserver(std::function<void()> observer) { observer_ = std::move(observer); }

  private:
    void changed() {
        if (observer_) observer_();
    }
    void append(char b);

    // Always at least one element: the last one is the line being written (empty when the
    // text is empty or ends with CR LF).
    std::deque<std::string> lines_{std::string()};
    std::function<void()> observer_;
};

}  // namespace qpane
