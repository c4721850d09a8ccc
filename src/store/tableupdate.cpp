#include "store/tableupdate.h"

#include <sqlite3.h>

#include <string>
#include <vector>

#include "platform/convert.h"
#include "platform/message_boxes.h"
#include "store/database.h"
#include "store/query.h"
#include "store/sqlite_calls.h"
#include "store/write_batch.h"

namespace qpane {

namespace {

void setText(TQuery& q, const std::string& line) {
    q.SQL().Clear();
    q.SQL().Add(line);
}

// Step 1: the version table, made with version 0 when it cannot be read.
void openVersion(TQuery& Qedit) {
    setText(Qedit, "select * from TABLEUPD");
    try {
        Qedit.Open();
        return;
    } catch (const EDatabaseError&) {
    }
    setText(Qedit, "CREATE table TABLEUPD (UPV smallint)");
    Qedit.ExecSQL();
    setText(Qedit, "insert into tableupd values (0)");
    Qedit.ExecSQL();
    setText(Qedit, "select * from tableupd");
    Qedit.Open();
}

// Step 4: adds the column and the rows of blocks 1 to 9. All of it shares one commit: 8991
// single commits take seconds, and a crash in the middle then undoes the whole step, so that
// the next start runs it again on the table as it was. When a statement fails, what ran before
// it is committed all the same. False when a statement failed.
// The blocks and bibs written are never empty: the new column's rules and indexes are made
// once, after the rows, at the commit (inserting 8991 rows into the finished indexes, each
// insert with its empty-text trigger, costs several times as much).
bool addBlocks(TQuery& Qedit) {
    try {
        WriteBatch batch(Qedit.database(), WriteBatch::Rules::AtCommit);
        try {
            setText(Qedit, "ALTER TABLE TIMEDATA add BLOCK VARCHAR(1)");
            Qedit.ExecSQL();
            setText(Qedit, "update timedata set block='0'");
            Qedit.ExecSQL();
            // One compiled insert, given each block and bib in turn: compiling 8991 statements
            // (each with the store's rules) would cost most of the first start. Each row is a
            // statement of its own: one that fails undoes only itself.
            const std::string insert = "insert into timedata (block,bib) values (?,?)";
            Database& db = Qedit.database();
            Database::Statement s = db.prepareOwn(insert);
            if (!s) throwDatabaseError(db.handle(), insert);
            std::vector<std::string> bibs;
            for (int n = 1; n <= 999; ++n)
                bibs.push_back(formatBib(n));
            for (int b = 1; b <= 9; ++b) {
                const std::string block = std::to_string(b);
                for (const std::string& bib : bibs) {
                    sqlite3_bind_text(s.get(), 1, block.data(), static_cast<int>(block.size()),
                                      SQLITE_STATIC);
                    sqlite3_bind_text(s.get(), 2, bib.data(), static_cast<int>(bib.size()),
                                      SQLITE_STATIC);
                    const int rc = sqlite3_step(s.get());
                    sqlite3_reset(s.get());
                    if (rc != SQLITE_DONE) throwDatabaseError(db.handle(), insert);
                }
            }
        } catch (const EDatabaseError&) {
            batch.commit();
            return false;
        }
        batch.commit();
        return true;
    } catch (const EDatabaseError&) {
        return false;
    }
}

}  // namespace

void tableupdate(TQuery& Qedit, MessageBoxes& boxes) {
    openVersion(Qedit);
    const int64_t version = Qedit.FieldByName("upv").AsInteger();
    if (version >= 1) return;

    if (!addBlocks(Qedit)) boxes.message("テーブル TIMEDATA への列の追加に失敗しました。");

    setText(Qedit, "update tableupd set upv=1");
    try {
        Qedit.ExecSQL();
    } catch (const EDatabaseError&) {
    }
}

}  // namespace qpane
