#include "store/write_batch.h"

#include <sqlite3.h>

#include "store/database.h"
#include "store/query.h"
#include "store/sqlite_calls.h"

namespace qpane {

WriteBatch::WriteBatch(Database& db, Rules rules) : db_(db) {
    db_.letReadersGo();
    executeSql(db_.handle(), "BEGIN IMMEDIATE");
    if (rules == Rules::AtCommit) db_.holdStoreRules();
}

WriteBatch::~WriteBatch() {
    if (!open_) return;
    try {
        commit();
    } catch (const EDatabaseError&) {
        // commit() has left no transaction open
    }
}

void WriteBatch::commit() {
    open_ = false;
    if (sqlite3_get_autocommit(db_.handle())) {
        db_.keepHeldStoreRules();  // the tables are as they were: nothing new to make
        throw EDatabaseError("書き込みの途中でデータベースが変更を取り消しました。");
    }
    try {
        db_.keepHeldStoreRules();
        db_.letReadersGo();  // the commit waits for no reader
        executeSql(db_.handle(), "COMMIT");
    } catch (const EDatabaseError&) {
        if (!sqlite3_get_autocommit(db_.handle()))
            sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

}  // namespace qpane
