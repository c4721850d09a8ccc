#include "store/write_batch.h"

#include <sqlite3.h>

#include "store/database.h"
#include "store/query.h"
#include "store/sqlite_calls.h"

namespace qpane {

WriteBatch::WriteBatch(Database& db) : db_(db) {
    db_.letReadersGo();
    executeSql(db_.handle(), "BEGIN IMMEDIATE");
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
    if (sqlite3_get_autocommit(db_.handle()))
        throw EDatabaseError("書き込みの途中でデータベースが変更を取り消しました。");
    try {
        db_.letReadersGo();  // the commit waits for no reader
        executeSql(db_.handle(), "COMMIT");
    } catch (const EDatabaseError&) {
        if (!sqlite3_get_autocommit(db_.handle()))
            sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

}  // namespace qpane
