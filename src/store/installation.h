#pragma once

#include <string>

struct sqlite3;

namespace qpane {

// True when the database holds nothing at all (no table, no view): a store file that was just
// created, or one whose first creation never committed.
bool isEmptyStore(sqlite3* db);

// What keeps a database from being the console's store: "" when timedata and crosst are
// there as tables with every column that the installation gives them (names in any case,
// other columns and tables beside them); otherwise, in Japanese, the first table or the
// columns missing. Only reads. Throws EDatabaseError.
std::string missingConsoleTable(sqlite3* db);

// Writes the installation database into an empty store, in one transaction:
// - timedata (bib, grp, time1, time2, totalt, totaltv, lap), one row per bib "001" to "999"
//   with grp "0" and no value in the other columns; block is added later by the upgrade;
// - crosst (uc, tm1 .. tm10, sumi), empty.
// uc, lap and totaltv take NUMERIC affinity, so the quoted decimal texts that the statements
// write are stored, compared, ordered and aggregated as numbers; every other column is text
// and keeps its bytes as written ("002" stays "002"). Throws EDatabaseError.
void createInstallation(sqlite3* db);

}  // namespace qpane
