#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "web/web_snapshot.h"

struct sqlite3;

namespace qpane::web {

// Builds the snapshots of the live page on the user-interface thread, from the lines that go
// to the board and from the store. Each build shares the parts that did not change with the
// snapshot before, so that a board row costs a copy of 22 short rows and no store read.
class SnapshotBuilder {
  public:
    static constexpr size_t kNewestPasses = 20;

    SnapshotBuilder();

    // A line that went to the board. A row line ("A".."V", row L as "l") replaces that row;
    // control lines ("L..."), the brightness line and unaddressed lines change no row.
    // Returns whether a row changed.
    bool boardSent(std::string_view line, int64_t atMs);

    // Reads the ranking of every block and group from the store when the store changed since
    // the last read (or the discipline did); the times that are new since then become the
    // newest passes. Returns whether the rankings changed. Throws EDatabaseError.
    bool readStore(sqlite3* db, results::Discipline discipline);

    void setTitle(std::string title);
    void setPattern(std::string caption);

    // A new snapshot with the next sequence number.
    SnapshotPtr build();

  private:
    std::shared_ptr<const BoardMirror> board_;
    std::shared_ptr<const Rankings> rankings_;
    std::shared_ptr<const std::vector<Pass>> passes_;
    std::string title_, pattern_;
    uint64_t sequence_ = 0;
    uint64_t rankingVersion_ = 0;
    int64_t storeChanges_ = -1;
    bool storeRead_ = false;
    results::Discipline discipline_ = results::Discipline::Alpine;
};

// The row index (0 for A .. 21 for V) that a board line addresses, -1 for none.
int addressedRow(std::string_view line);

// The display text of a board line: CR dropped, Shift-JIS decoded (a line that is not
// Shift-JIS keeps its ASCII and shows "?" for each other byte), control bytes as blanks.
std::string displayText(std::string_view line);

// The times in after that before did not have: the new passes, in the order of the list.
std::vector<Pass> newPasses(const Rankings& before, const Rankings& after, int64_t atMs);

// The ranking of every block that has a competitor.
Rankings readRankings(sqlite3* db, results::Discipline discipline);

}  // namespace qpane::web
