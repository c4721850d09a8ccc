#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qpane {

// SQLite reads a statement only up to its first NUL byte, so a value between single quotes
// that holds one (a timing line carries whatever bytes the serial line delivered) would cut
// the statement short. Such a value is handed to the engine as its bytes in hex,
// CAST(X'..' AS TEXT), which stores exactly the same bytes. A NUL byte outside a quoted value
// cannot belong to a statement: EDatabaseError. A text without NUL bytes comes back unchanged.
std::string withNulBytesSpelled(std::string_view sql);

// The statement without its final ORDER BY clause, for counting its rows: the order changes
// no count, and without it the engine can count from an index instead of reading every row
// in order. The text comes back unchanged when the clause is not the statement's own last
// one (a LIMIT or OFFSET after it depends on it) or when there is none.
std::string withoutFinalOrder(std::string_view sql);

// An insert, update or delete whose quoted values are taken out as ? places, with the values
// (quotes undoubled) to bind to them in order: the statements of a race differ only in their
// values, and one compiled statement of each form serves them all, with the store's rules
// compiled into it once. A bound text behaves exactly as the quoted text (no affinity of its
// own, the column's applied when stored). Nothing for any other statement, for one without a
// quoted value, and for one that has places, blobs or a RETURNING clause already.
struct StatementWithValues {
    std::string text;
    std::vector<std::string> values;
};
std::optional<StatementWithValues> withValuesAsPlaces(std::string_view sql);

// A select whose values compared for equality after its FROM (`bib='012' and block='1'`) are
// taken out as ? places, the rest of the text as written: the lookups of a race by bib or by
// pass number are compiled once. Only those values: a value in the result columns names a
// column, and one compared otherwise may decide which index serves the statement (a partial
// index over the rows whose time is not empty); equality compares a bound text exactly as the
// quoted one. Nothing for any other statement, for one with a second select (a subquery, a
// compound), with places already, or without such a value.
std::optional<StatementWithValues> selectWithEqualValuesAsPlaces(std::string_view sql);

}  // namespace qpane
