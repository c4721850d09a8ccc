#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "results/result_list.h"

namespace qpane::web {

// One row of the board as the console last sent it.
struct MirrorRow {
    char letter = 'A';
    std::string bytes;     // the line as it went out, CR included; empty: never sent
    std::string text;      // for display: UTF-8 from Shift-JIS, without CR, control bytes blank
    int64_t sentAtMs = 0;  // wall clock (ms since 1970) of the send; 0: never sent
};

// The board's rows A to V.
struct BoardMirror {
    static constexpr int kRows = 22;
    std::array<MirrorRow, kRows> rows;
    BoardMirror();
};

// The ranking of one group of one block.
struct RankedGroup {
    std::string block;
    std::string group;
    std::vector<results::ResultRow> rows;
};

struct Rankings {
    results::Discipline discipline = results::Discipline::Alpine;
    std::vector<RankedGroup> groups;  // by block, then in the list's group order
    const RankedGroup* find(const std::string& block, const std::string& group) const;
};

// A time that the store took: a run, a total or a pass, as the page lists the newest.
struct Pass {
    std::string block;
    std::string group;
    std::string bib;
    std::string what;  // "run1", "run2", "total", "pass"
    std::string time;  // shown form
    int64_t seenAtMs = 0;
};

// What the live page shows, as one value that never changes once published. The parts that
// did not change are shared with the snapshot before.
struct WebSnapshot {
    uint64_t sequence = 0;
    std::string title;    // the race title (result lists' title), UTF-8
    std::string pattern;  // the output pattern's caption
    int64_t publishedAtMs = 0;
    uint64_t rankingVersion = 0;  // changes whenever rankings does
    std::shared_ptr<const BoardMirror> board;
    std::shared_ptr<const Rankings> rankings;
    std::shared_ptr<const std::vector<Pass>> passes;  // newest first
};

using SnapshotPtr = std::shared_ptr<const WebSnapshot>;

// Milliseconds since 1970 on the wall clock, which the page's own clock can be compared with.
int64_t wallClockMs();

}  // namespace qpane::web
