#pragma once

namespace qpane {

class MessageBoxes;
class TQuery;

// The one-time upgrade of timedata, run at start-up before any other use of the tables, on
// the window's query Qedit:
// 1. reads the version from TABLEUPD, creating the table with version 0 when it cannot be
//    read (these statements are not guarded: their errors go to the caller);
// 2. version 1 or more: nothing to do;
// 3. otherwise adds the column block, puts the existing rows into block "0" and inserts the
//    rows of blocks "1" to "9", bibs "001" to "999" (8991 inserts), all in one commit, so that
//    a crash in between leaves the table as it was. When a statement fails the rest is
//    skipped, what ran before it stays, and a message box tells the operator;
// 4. sets the version to 1, silently ignoring a failure.
void tableupdate(TQuery& Qedit, MessageBoxes& boxes);

}  // namespace qpane
