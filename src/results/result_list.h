#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;

namespace qpane::results {

// How a race ranks, from the output pattern the console runs: the alpine patterns by total
// time (by run 1 while nobody has a total), cross-country by the last pass time, the relay by
// laps done and then total time.
enum class Discipline { Alpine, Cross, Relay };

// 1 to 5 alpine, 11 to 14 cross-country, 15 the relay; any other number counts as alpine,
// as the console's own start does.
Discipline disciplineOfPattern(int patternNo);

// One competitor as the list shows it. Times are in their shown form ("1:23.45"); an empty
// text is no value. rank is empty for a competitor without the time the group is ranked by:
// such rows come after the ranked ones.
struct ResultRow {
    std::string rank;
    std::string bib;
    std::string group;
    std::string run1;        // alpine
    std::string run2;        // alpine
    std::string total;       // alpine: total; cross-country: last pass; relay: total
    std::string laps;        // cross-country and relay
    std::string difference;  // to the group's leader: "+0.50"; laps behind: "+1周"
};

struct ResultGroup {
    std::string group;
    std::vector<ResultRow> rows;
};

struct ResultList {
    Discipline discipline = Discipline::Alpine;
    std::string block;
    std::vector<ResultGroup> groups;  // in group order, each ranked on its own

    size_t rowCount() const;
};

// A block or group that holds no competitor, or a block or group that is not a number.
class NoResults : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads the list of block (and of group, or of every group of the block) from the store,
// ranked with the orderings and comparisons the board uses. A competitor is a row that holds
// a time or belongs to a group other than "0" (no group). Throws NoResults, and EDatabaseError
// for a store that cannot be read.
ResultList readResultList(sqlite3* db, Discipline discipline, const std::string& block,
                          const std::optional<std::string>& group);

// The shown form of a stored time text: leading zero fields and zeros left out
// ("00:01:23.45" -> "1:23.45", "00:00:09.50" -> "9.50"); a text that is not a time is kept.
std::string shownTime(const std::string& text);

// The column captions of a list, in the order of columnsOf.
std::vector<std::string> columnCaptions(Discipline discipline);
std::vector<std::string> columnsOf(Discipline discipline, const ResultRow& row);

// The caption of a group: "組 3"; group "0" is "組なし".
std::string groupCaption(const std::string& group);

std::string disciplineCaption(Discipline discipline);

}  // namespace qpane::results
