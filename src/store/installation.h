#pragma once

struct sqlite3;

namespace qpane {

// True when the database holds no table at all: a store file that was just created, or one
// whose first creation never committed.
bool isEmptyStore(sqlite3* db);

// Writes the installation database into an empty store, in one transaction:
// - timedata (bib, grp, time1, time2, totalt, totaltv, lap), one row per bib "001" to "999"
//   with grp "0" and no value in the other columns; block is added later by the upgrade;
// - crosst (uc, tm1 .. tm10, sumi), empty.
// uc, lap and totaltv take NUMERIC affinity, so the quoted decimal texts that the statements
// write are stored, compared, ordered and aggregated as numbers; every other column is text
// and keeps its bytes as written ("002" stays "002"). Throws EDatabaseError.
void createInstallation(sqlite3* db);

}  // namespace qpane
