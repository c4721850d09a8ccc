#include "store/database.h"

#include <sqlite3.h>

#include "store/installation.h"
#include "store/query.h"
#include "store/sqlite_calls.h"
#include "store/statement_bytes.h"
#include "store/store_rules.h"

namespace qpane {

namespace fs = std::filesystem;

namespace {

std::string utf8(const fs::path& p) {
    std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

[[noreturn]] void cannotOpen(const fs::path& file, const std::string& why) {
    throw EDatabaseError("結果データベース " + utf8(file) + " を開けません: " + why);
}

void stepAll(sqlite3* db, sqlite3_stmt* s, const std::string& sql,
             std::vector<Database::Row>* rows) {
    const int n = sqlite3_column_count(s);
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        if (!rows) continue;
        Database::Row row(static_cast<size_t>(n));
        for (int c = 0; c < n; ++c)
            row[static_cast<size_t>(c)] = columnValue(s, c);
        rows->push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) throwDatabaseError(db, sql);
}

}  // namespace

fs::path Database::fileIn(const fs::path& dataFolder) {
    return dataFolder / (std::string(kAlias) + ".db");
}

Database::Database(const fs::path& dataFolder) : file_(fileIn(dataFolder)) {
    std::error_code ec;
    fs::create_directories(dataFolder, ec);
    if (ec || !fs::is_directory(dataFolder, ec))
        cannotOpen(file_, "データフォルダー " + utf8(dataFolder) + " を作成できません (" +
                              (ec ? ec.message() : "フォルダーではありません") + ")");
    const std::string name = utf8(file_);
    if (sqlite3_open_v2(name.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close_v2(db_);
        db_ = nullptr;
        cannotOpen(file_, why);
    }
    try {
        sqlite3_busy_timeout(db_, kBusyTimeoutMs);
        // The first read of the schema tells a database from any other file, before anything
        // is written to it.
        const bool empty = isEmptyStore(db_);
        // A file system without shared memory keeps the rollback journal, which is as safe.
        sqlite3_exec(db_, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        executeSql(db_, "PRAGMA synchronous=FULL");
        // Statement journals, which need no durability, stay off the disk: with triggers every
        // write in a multi-statement transaction opens one.
        executeSql(db_, "PRAGMA temp_store=MEMORY");
        if (empty) createInstallation(db_);
        keepStoreRules(db_);
    } catch (const EDatabaseError& e) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
        cannotOpen(file_, e.what());
    }
    sqlite3_set_authorizer(db_, &Database::authorize, this);
}

Database::~Database() {
    sqlite3_close_v2(db_);
}

int Database::authorize(void* self, int action, const char*, const char*, const char*,
                        const char*) {
    if (action == SQLITE_CREATE_TABLE || action == SQLITE_ALTER_TABLE)
        static_cast<Database*>(self)->schemaChanging_ = true;
    return SQLITE_OK;
}

void Database::run(const std::string& sql, std::vector<std::string>* columns,
                   std::vector<Row>* rows) {
    execute(sql, false, columns, rows);
}

void Database::select(const std::string& sql, std::vector<std::string>& columns,
                      std::vector<Row>& rows) {
    execute(sql, true, &columns, &rows);
}

void Database::execute(const std::string& sql, bool mustReturnRows,
                       std::vector<std::string>* columns, std::vector<Row>* rows) {
    const std::string text = withNulBytesSpelled(sql);
    schemaChanging_ = false;
    size_t tail = 0;
    StatementPtr s = prepareStatement(db_, text, &tail);
    const bool changesSchema = schemaChanging_;
    if (!s) throw EDatabaseError("SQL 文が空です。\nSQL: " + text);
    if (prepareStatement(db_, std::string_view(text).substr(tail)))
        throw EDatabaseError("一度に実行できる SQL 文は一つだけです。\nSQL: " + text);
    const int n = sqlite3_column_count(s.get());
    if (mustReturnRows && n == 0)
        throw EDatabaseError("この SQL 文は結果の行を返しません。\nSQL: " + text);

    if (columns) {
        columns->clear();
        for (int c = 0; c < n; ++c) {
            const char* name = sqlite3_column_name(s.get(), c);
            columns->push_back(name ? name : "");
        }
    }
    if (rows) rows->clear();
    if (!changesSchema) {
        stepAll(db_, s.get(), text, rows);
        return;
    }
    // A new table or column gets its rules in the same commit, so that no write can reach it
    // before they hold.
    executeSql(db_, "SAVEPOINT schema_change");
    try {
        stepAll(db_, s.get(), text, rows);
        s.reset();
        keepStoreRules(db_);
    } catch (...) {
        s.reset();
        sqlite3_exec(db_, "ROLLBACK TO schema_change; RELEASE schema_change", nullptr, nullptr,
                     nullptr);
        throw;
    }
    executeSql(db_, "RELEASE schema_change");
}

}  // namespace qpane
