#include "web/snapshot_builder.h"

#include <sqlite3.h>
#include <map>

#include "platform/shift_jis.h"
#include "store/sqlite_calls.h"

namespace qpane::web {

namespace {

bool isBrightness(std::string_view line) {
    return line.size() == 6 && line.substr(0, 5) == "K    " && line[5] >= '0' && line[5] <= '9';
}

std::string_view withoutCr(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

bool sameRows(const std::vector<results::ResultRow>& a, const std::vector<results::ResultRow>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto& x = a[i];
        const auto& y = b[i];
        if (x.rank != y.rank || x.bib != y.bib || x.group != y.group || x.run1 != y.run1 ||
            x.run2 != y.run2 || x.total != y.total || x.laps != y.laps ||
            x.difference != y.difference)
            return false;
    }
    return true;
}

bool sameRankings(const Rankings& a, const Rankings& b) {
    if (a.discipline != b.discipline || a.groups.size() != b.groups.size()) return false;
    for (size_t i = 0; i < a.groups.size(); ++i)
        if (a.groups[i].block != b.groups[i].block || a.groups[i].group != b.groups[i].group ||
            !sameRows(a.groups[i].rows, b.groups[i].rows))
            return false;
    return true;
}

}  // namespace

int addressedRow(std::string_view line) {
    line = withoutCr(line);
    if (line.empty() || isBrightness(line)) return -1;
    const char first = line.front();
    if (first == 'l') return 11;
    if (first == 'L') return -1;
    if (first >= 'A' && first <= 'V') return first - 'A';
    return -1;
}

std::string displayText(std::string_view line) {
    line = withoutCr(line);
    std::string text;
    try {
        text = shiftJisToUtf8(line);
    } catch (const EncodingError&) {
        for (char c : line)
            text += static_cast<unsigned char>(c) < 0x80 ? c : '?';
    }
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return text;
}

SnapshotBuilder::SnapshotBuilder()
    : board_(std::make_shared<BoardMirror>()),
      rankings_(std::make_shared<Rankings>()),
      passes_(std::make_shared<std::vector<Pass>>()) {}

bool SnapshotBuilder::boardSent(std::string_view line, int64_t atMs) {
    const int index = addressedRow(line);
    if (index < 0) return false;
    auto board = std::make_shared<BoardMirror>(*board_);
    MirrorRow& row = board->rows[static_cast<size_t>(index)];
    row.bytes = std::string(line);
    row.text = displayText(line);
    row.sentAtMs = atMs;
    board_ = std::move(board);
    return true;
}

Rankings readRankings(sqlite3* db, results::Discipline discipline) {
    Rankings out;
    out.discipline = discipline;
    const std::string sql =
        "select distinct block from timedata where coalesce(grp,'0') not in ('0','') or "
        "coalesce(time1,'')<>'' or coalesce(time2,'')<>'' or coalesce(totalt,'')<>'' "
        "order by block";
    for (const std::string& block : firstColumn(db, sql)) {
        try {
            results::ResultList list = results::readResultList(db, discipline, block, {});
            for (results::ResultGroup& g : list.groups)
                out.groups.push_back({block, g.group, std::move(g.rows)});
        } catch (const results::NoResults&) {
            // A block that is not a number, or holds nobody the list counts.
        }
    }
    return out;
}

std::vector<Pass> newPasses(const Rankings& before, const Rankings& after, int64_t atMs) {
    std::map<std::pair<std::string, std::string>, const results::ResultRow*> old;
    for (const RankedGroup& g : before.groups)
        for (const results::ResultRow& r : g.rows)
            old[{g.block, r.bib}] = &r;
    const bool alpine = after.discipline == results::Discipline::Alpine;
    std::vector<Pass> passes;
    for (const RankedGroup& g : after.groups) {
        for (const results::ResultRow& r : g.rows) {
            const auto it = old.find({g.block, r.bib});
            const results::ResultRow* was = it == old.end() ? nullptr : it->second;
            auto changed = [&](const std::string results::ResultRow::*field) {
                return !(r.*field).empty() && (!was || was->*field != r.*field);
            };
            auto add = [&](const char* what, const std::string& time) {
                passes.push_back({g.block, g.group, r.bib, what, time, atMs});
            };
            if (alpine) {
                if (changed(&results::ResultRow::run1)) add("run1", r.run1);
                if (changed(&results::ResultRow::run2)) add("run2", r.run2);
                if (changed(&results::ResultRow::total)) add("total", r.total);
            } else if (changed(&results::ResultRow::total) || changed(&results::ResultRow::laps)) {
                add("pass", r.total);
            }
        }
    }
    return passes;
}

bool SnapshotBuilder::readStore(sqlite3* db, results::Discipline discipline) {
    const int64_t changes = sqlite3_total_changes64(db);
    if (storeRead_ && changes == storeChanges_ && discipline == discipline_) return false;
    auto rankings = std::make_shared<Rankings>(readRankings(db, discipline));
    storeRead_ = true;
    storeChanges_ = changes;
    const bool disciplineChanged = discipline != discipline_;
    discipline_ = discipline;
    if (sameRankings(*rankings, *rankings_)) return false;
    // A change of discipline reads the same times ranked another way: no time is new.
    if (!disciplineChanged || rankings_->groups.empty()) {
        std::vector<Pass> fresh = newPasses(*rankings_, *rankings, wallClockMs());
        if (!fresh.empty()) {
            auto passes = std::make_shared<std::vector<Pass>>();
            *passes = std::move(fresh);
            for (const Pass& p : *passes_)
                if (passes->size() < kNewestPasses) passes->push_back(p);
            if (passes->size() > kNewestPasses) passes->resize(kNewestPasses);
            passes_ = std::move(passes);
        }
    }
    rankings_ = std::move(rankings);
    ++rankingVersion_;
    return true;
}

void SnapshotBuilder::setTitle(std::string title) {
    title_ = std::move(title);
}

void SnapshotBuilder::setPattern(std::string caption) {
    pattern_ = std::move(caption);
}

SnapshotPtr SnapshotBuilder::build() {
    auto s = std::make_shared<WebSnapshot>();
    s->sequence = ++sequence_;
    s->title = title_;
    s->pattern = pattern_;
    s->publishedAtMs = wallClockMs();
    s->rankingVersion = rankingVersion_;
    s->board = board_;
    s->rankings = rankings_;
    s->passes = passes_;
    return s;
}

}  // namespace qpane::web
