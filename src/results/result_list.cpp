#include "results/result_list.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "input/time_values.h"
#include "platform/convert.h"
#include "store/sqlite_calls.h"

namespace qpane::results {

namespace {

// One stored row of timedata, as text; "" is no value.
struct Stored {
    std::string bib, grp, time1, time2, totalt, totaltv, lap;
};

std::string text(sqlite3_stmt* s, int c) {
    return columnValue(s, c).value_or("");
}

bool isNumber(const std::string& t) {
    return !t.empty() &&
           std::all_of(t.begin(), t.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
}

// A stored value that is a time: digits with ":" and "." only. Whatever else a correction
// put in a time column ("DNF", "失格") is shown as written but does not rank, so that it
// can neither lead nor give a difference that means nothing.
bool isTime(const std::string& t) {
    const std::string_view v = trimControl(t);
    return !v.empty() && v.find_first_not_of("0123456789:.") == std::string_view::npos &&
           v.find_first_of("0123456789") != std::string_view::npos;
}

std::vector<Stored> readBlock(sqlite3* db, const std::string& block,
                              const std::optional<std::string>& group) {
    std::string sql = "select bib,grp,time1,time2,totalt,totaltv,lap from timedata where block=?1";
    if (group) sql += " and grp=?2";
    sql += " order by bib";
    StatementPtr s = prepareStatement(db, sql);
    sqlite3_bind_text(s.get(), 1, block.data(), static_cast<int>(block.size()), SQLITE_TRANSIENT);
    if (group)
        sqlite3_bind_text(s.get(), 2, group->data(), static_cast<int>(group->size()),
                          SQLITE_TRANSIENT);
    std::vector<Stored> rows;
    int rc;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
        Stored r{text(s.get(), 0), text(s.get(), 1), text(s.get(), 2), text(s.get(), 3),
                 text(s.get(), 4), text(s.get(), 5), text(s.get(), 6)};
        const bool timed = !r.time1.empty() || !r.time2.empty() || !r.totalt.empty();
        if (timed || (!r.grp.empty() && r.grp != "0")) rows.push_back(std::move(r));
    }
    if (rc != SQLITE_DONE) throwDatabaseError(db, sql);
    return rows;
}

// The passes each bib has made: the pass rows whose newest line is one of the bib. A stored
// pass line carries no block, so a bib that runs in two blocks counts the passes of both.
std::map<std::string, int64_t> passCounts(sqlite3* db) {
    std::map<std::string, int64_t> counts;
    const std::string sql =
        "select substr(tm1,2,3),count(*) from crosst where substr(tm1,1,1)='1' group by 1";
    StatementPtr s = prepareStatement(db, sql);
    int rc;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW)
        counts[text(s.get(), 0)] = sqlite3_column_int64(s.get(), 1);
    if (rc != SQLITE_DONE) throwDatabaseError(db, sql);
    return counts;
}

// The unit of a time text's count: thousandths for a text longer than 11 characters.
int64_t unitOf(const std::string& t) {
    return trimControl(t).size() > 11 ? 1000 : 100;
}

std::string formatCount(int64_t count, int64_t unit) {
    const bool negative = count < 0;
    if (negative) count = -count;
    const int digits = unit == 1000 ? 3 : 2;
    std::string fraction = std::to_string(count % unit);
    fraction.insert(0, static_cast<size_t>(digits) - fraction.size(), '0');
    int64_t seconds = count / unit;
    std::string whole;
    if (seconds >= 3600) {
        const std::string mm = std::to_string(seconds / 60 % 60), ss = std::to_string(seconds % 60);
        whole = std::to_string(seconds / 3600) + ":" + std::string(2 - mm.size(), '0') + mm + ":" +
                std::string(2 - ss.size(), '0') + ss;
    } else if (seconds >= 60) {
        const std::string ss = std::to_string(seconds % 60);
        whole = std::to_string(seconds / 60) + ":" + std::string(2 - ss.size(), '0') + ss;
    } else {
        whole = std::to_string(seconds);
    }
    return (negative ? "-" : "") + whole + "." + fraction;
}

std::string differenceOf(const std::string& time, const std::string& leader) {
    if (time == leader) return "";
    return "+" + formatCount(timetonum(time) - timetonum(leader), unitOf(time));
}

// The rank of each row among rows ordered best first: one more than the number of rows that
// are strictly better, so that a tie shares its rank as the board's count does.
template <class Same>
void assignRanks(std::vector<ResultRow>& rows, size_t ranked, Same same) {
    for (size_t i = 0; i < ranked; ++i)
        rows[i].rank = (i > 0 && same(i - 1, i)) ? rows[i - 1].rank : std::to_string(i + 1);
}

std::vector<ResultRow> rankAlpine(std::vector<Stored> rows) {
    const bool anyTotal =
        std::any_of(rows.begin(), rows.end(), [](const Stored& r) { return isTime(r.totalt); });
    auto basis = [&](const Stored& r) -> const std::string& {
        return anyTotal ? r.totalt : r.time1;
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const Stored& a, const Stored& b) {
        const bool ra = isTime(basis(a)), rb = isTime(basis(b));
        if (ra != rb) return ra;
        if (ra) return basis(a) < basis(b);
        // Without the ranking time: those with a run-1 time first, by it; then by bib.
        const bool ta = isTime(a.time1), tb = isTime(b.time1);
        if (ta != tb) return ta;
        return ta && a.time1 < b.time1;
    });
    std::vector<ResultRow> out;
    size_t ranked = 0;
    for (const Stored& r : rows) {
        ResultRow row;
        row.bib = r.bib;
        row.group = r.grp;
        row.run1 = shownTime(r.time1);
        row.run2 = shownTime(r.time2);
        row.total = shownTime(r.totalt);
        if (isTime(basis(r))) {
            row.difference = differenceOf(basis(r), basis(rows.front()));
            ++ranked;
        }
        out.push_back(std::move(row));
    }
    assignRanks(out, ranked, [&](size_t a, size_t b) { return basis(rows[a]) == basis(rows[b]); });
    return out;
}

std::vector<ResultRow> rankCross(std::vector<Stored> rows,
                                 const std::map<std::string, int64_t>& passes) {
    std::stable_sort(rows.begin(), rows.end(), [](const Stored& a, const Stored& b) {
        const bool ta = isTime(a.time1), tb = isTime(b.time1);
        if (ta != tb) return ta;
        return ta && a.time1 < b.time1;
    });
    std::vector<ResultRow> out;
    size_t ranked = 0;
    for (const Stored& r : rows) {
        ResultRow row;
        row.bib = r.bib;
        row.group = r.grp;
        row.total = shownTime(r.time1);
        if (auto it = passes.find(r.bib); it != passes.end()) row.laps = std::to_string(it->second);
        if (isTime(r.time1)) {
            row.difference = differenceOf(r.time1, rows.front().time1);
            ++ranked;
        }
        out.push_back(std::move(row));
    }
    assignRanks(out, ranked, [&](size_t a, size_t b) { return rows[a].time1 == rows[b].time1; });
    return out;
}

// The relay ranks "order by lap desc,totaltv": most laps first, then the smaller total.
std::vector<ResultRow> rankRelay(std::vector<Stored> rows) {
    auto lapOf = [](const Stored& r) { return StrToIntDef(r.lap, -1); };
    auto countOf = [](const Stored& r) -> int64_t {
        try {
            return StrToInt64(r.totaltv);
        } catch (const EConvertError&) {
            return timetonum(r.totalt);
        }
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const Stored& a, const Stored& b) {
        const bool ta = isTime(a.totalt), tb = isTime(b.totalt);
        if (ta != tb) return ta;
        if (!ta) return false;
        if (lapOf(a) != lapOf(b)) return lapOf(a) > lapOf(b);
        return countOf(a) < countOf(b);
    });
    std::vector<ResultRow> out;
    size_t ranked = 0;
    for (const Stored& r : rows) {
        ResultRow row;
        row.bib = r.bib;
        row.group = r.grp;
        row.total = shownTime(r.totalt);
        row.laps = r.lap;
        if (isTime(r.totalt)) {
            const Stored& leader = rows.front();
            if (&r == &leader) {
            } else if (lapOf(r) == lapOf(leader)) {
                const int64_t d = countOf(r) - countOf(leader);
                if (d != 0) row.difference = "+" + formatCount(d, unitOf(r.totalt));
            } else {
                row.difference = "+" + std::to_string(lapOf(leader) - std::max(lapOf(r), 0)) + "周";
            }
            ++ranked;
        }
        out.push_back(std::move(row));
    }
    assignRanks(out, ranked, [&](size_t a, size_t b) {
        return lapOf(rows[a]) == lapOf(rows[b]) && countOf(rows[a]) == countOf(rows[b]);
    });
    return out;
}

// Groups in the order of their numbers, group "0" (no group) last.
bool groupBefore(const std::string& a, const std::string& b) {
    const bool noneA = a == "0" || a.empty(), noneB = b == "0" || b.empty();
    if (noneA != noneB) return noneB;
    const int64_t na = isNumber(a) && a.size() < 10 ? StrToInt64(a) : INT64_MAX;
    const int64_t nb = isNumber(b) && b.size() < 10 ? StrToInt64(b) : INT64_MAX;
    if (na != nb) return na < nb;
    return a < b;
}

}  // namespace

Discipline disciplineOfPattern(int patternNo) {
    if (patternNo >= 11 && patternNo <= 14) return Discipline::Cross;
    if (patternNo == 15) return Discipline::Relay;
    return Discipline::Alpine;
}

size_t ResultList::rowCount() const {
    size_t n = 0;
    for (const ResultGroup& g : groups)
        n += g.rows.size();
    return n;
}

ResultList readResultList(sqlite3* db, Discipline discipline, const std::string& block,
                          const std::optional<std::string>& group) {
    if (!isNumber(block)) throw NoResults("ブロック「" + block + "」は番号ではありません");
    if (group && !isNumber(*group)) throw NoResults("組「" + *group + "」は番号ではありません");
    std::vector<Stored> stored = readBlock(db, block, group);
    if (stored.empty())
        throw NoResults("ブロック " + block + (group ? " の組 " + *group : std::string()) +
                        " に結果がありません");

    std::map<std::string, std::vector<Stored>, bool (*)(const std::string&, const std::string&)>
        byGroup(groupBefore);
    for (Stored& r : stored)
        byGroup[r.grp].push_back(std::move(r));
    const std::map<std::string, int64_t> passes =
        discipline == Discipline::Cross ? passCounts(db) : std::map<std::string, int64_t>{};

    ResultList list;
    list.discipline = discipline;
    list.block = block;
    for (auto& [name, rows] : byGroup) {
        ResultGroup g;
        g.group = name;
        switch (discipline) {
            case Discipline::Alpine: g.rows = rankAlpine(std::move(rows)); break;
            case Discipline::Cross: g.rows = rankCross(std::move(rows), passes); break;
            case Discipline::Relay: g.rows = rankRelay(std::move(rows)); break;
        }
        list.groups.push_back(std::move(g));
    }
    return list;
}

std::string shownTime(const std::string& stored) {
    const std::string t(trimControl(stored));
    if (t.empty() || t.find_first_not_of("0123456789:.") != std::string::npos) return stored;
    size_t from = 0;
    while (from + 3 <= t.size() && t.compare(from, 3, "00:") == 0)
        from += 3;
    while (from + 1 < t.size() && t[from] == '0' && t[from + 1] != '.' && t[from + 1] != ':')
        ++from;
    return t.substr(from);
}

std::vector<std::string> columnCaptions(Discipline discipline) {
    if (discipline == Discipline::Alpine)
        return {"順位", "ゼッケン", "組", "1本目", "2本目", "合計", "トップ差"};
    return {"順位", "ゼッケン", "組", "周回", "タイム", "トップ差"};
}

std::vector<std::string> columnsOf(Discipline discipline, const ResultRow& r) {
    if (discipline == Discipline::Alpine)
        return {r.rank, r.bib, r.group, r.run1, r.run2, r.total, r.difference};
    return {r.rank, r.bib, r.group, r.laps, r.total, r.difference};
}

std::string groupCaption(const std::string& group) {
    return group.empty() || group == "0" ? "組なし" : "組 " + group;
}

std::string disciplineCaption(Discipline discipline) {
    switch (discipline) {
        case Discipline::Alpine: return "アルペン";
        case Discipline::Cross: return "クロスカントリー";
        case Discipline::Relay: return "リレー";
    }
    return {};
}

}  // namespace qpane::results
