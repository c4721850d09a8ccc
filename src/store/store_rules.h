#pragma once

struct sqlite3;

namespace qpane {

// Makes the database itself keep the rules that the console's statements rely on, so that
// they also hold for anyone who writes to the file with another SQLite client:
// - an empty text written into any column, by insert or update, leaves the column with no
//   value (a trigger per table and event turns it into NULL), so that it reads back as "",
//   satisfies no comparison and is skipped by count, min and max;
// - the result table has the indexes that its updates by bib and block and its rankings by
//   block and group need.
// Creates only what is missing. Run after every statement that creates or alters a table,
// within the same transaction, and when the store opens. Throws EDatabaseError.
void keepStoreRules(sqlite3* db);

// Drops the empty-text insert triggers that no longer cover their table's columns (a column
// was added), which keepStoreRules would make anew; it makes them at its next run. For a batch
// of the console's own writes, whose values are never empty, run between a change of a table
// and keepStoreRules: the inserts then compile no trigger and keep no statement journal, and
// the stored schema ends the same as when the rules are made at once. Throws EDatabaseError.
void setAsideStaleInsertRules(sqlite3* db);

}  // namespace qpane
