#include "store/database.h"
#include "platform/paths.h"

#include <sqlite3.h>

#include <functional>

#include "store/installation.h"
#include "store/query.h"
#include "store/sqlite_calls.h"
#include "store/statement_bytes.h"
#include "store/store_problem.h"
#include "store/store_rules.h"

namespace qpane {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void cannotOpen(const fs::path& file, const std::string& why) {
    throw EDatabaseError("結果データベース " + pathText(file) + " を開けません: " + why);
}

// A file that holds some other program's tables: refused before anything is written to it.
[[noreturn]] void notTheConsoles(const fs::path& file, const std::string& missing) {
    throw EDatabaseError("結果データベース " + pathText(file) +
                         " は Q-PANE の結果データベースではありません (" + missing +
                         ")。ファイルには何も書き込んでいません。ほかのプログラムのファイルであ"
                         "れば別の場所へ移してください。移すと、次の起動で新しい結果データベース"
                         "が作られます。");
}

[[noreturn]] void cannotWrite(const fs::path& file, const EDatabaseError& e) {
    throw EDatabaseError("結果データベース " + pathText(file) +
                             " に書き込めません: " + storeProblem(e.code()) +
                             "書き込めるようにしてから、もう一度起動してください。\n" +
                             (e.engineText().empty() ? e.what() : e.engineText()),
                         e.code(), e.engineText());
}

// A write that reaches the disk and is then undone, so that a store that cannot take results
// is found before the race rather than at its first time: a read-only file or connection, a
// folder where no journal can be made, a disk without room for a page. The dirty pages are
// flushed inside the transaction (to the journal and the file, or to the write-ahead log as
// frames that no commit ever covers), then the transaction is rolled back. A store that
// another program is writing to takes writes: that is no failure.
void probeWrite(sqlite3* db) {
    const int begin = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (begin == SQLITE_BUSY) return;
    if (begin != SQLITE_OK) throwDatabaseError(db);
    int code = sqlite3_exec(db, "CREATE TABLE qpane_write_probe (x)", nullptr, nullptr, nullptr);
    std::string why = code == SQLITE_OK ? "" : sqlite3_errmsg(db);
    if (code == SQLITE_OK) {
        code = sqlite3_db_cacheflush(db);
        if (code == SQLITE_BUSY) code = SQLITE_OK;  // pages a reader holds stay in memory
        if (code != SQLITE_OK) why = sqlite3_errstr(code);
    }
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) throw storeError(code, why);
}

// The columns are counted at each row: a kept statement is compiled anew by its first step
// when the schema changed since (a column added by another client of the file).
void stepAll(sqlite3* db, sqlite3_stmt* s, const std::string& sql, std::vector<Database::Row>* rows,
             size_t maxRows) {
    for (;;) {
        if (rows && rows->size() >= maxRows) return;
        const int rc = sqlite3_step(s);
        if (rc == SQLITE_DONE) return;
        if (rc != SQLITE_ROW) throwDatabaseError(db, sql);
        if (!rows) continue;
        const int n = sqlite3_column_count(s);
        Database::Row row(static_cast<size_t>(n));
        for (int c = 0; c < n; ++c)
            row[static_cast<size_t>(c)] = columnValue(s, c);
        rows->push_back(std::move(row));
    }
}

}  // namespace

fs::path Database::fileIn(const fs::path& dataFolder) {
    return dataFolder / (std::string(kAlias) + ".db");
}

Database::Database(const fs::path& dataFolder, const std::string& vfs) : file_(fileIn(dataFolder)) {
    std::error_code ec;
    fs::create_directories(dataFolder, ec);
    if (ec || !fs::is_directory(dataFolder, ec))
        cannotOpen(file_, "データフォルダー " + pathText(dataFolder) + " を作成できません (" +
                              (ec ? ec.message() : "フォルダーではありません") + ")");
    const std::string name = pathText(file_);
    const int opened = sqlite3_open_v2(
        name.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
        vfs.empty() ? nullptr : vfs.c_str());
    if (opened != SQLITE_OK) {
        const EDatabaseError e = storeError(opened, db_ ? sqlite3_errmsg(db_) : "out of memory");
        close();
        cannotOpen(file_, e.what());
    }
    // A step that fails leaves no connection behind and tells why the store did not open.
    auto opening = [this](const std::function<void()>& step) {
        try {
            step();
        } catch (const EDatabaseError& e) {
            close();
            cannotOpen(file_, e.what());
        }
    };
    // The first reads of the schema tell a database from any other file, and the console's
    // store from another program's, before anything is written to it.
    bool empty = false;
    std::string missing;
    opening([&] {
        sqlite3_busy_timeout(db_, kBusyTimeoutMs);
        empty = isEmptyStore(db_);
        if (!empty) missing = missingConsoleTable(db_);
    });
    if (!missing.empty()) {
        // Its write-ahead log, if it has one, stays as it is, not merged into the file.
        sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        close();
        notTheConsoles(file_, missing);
    }
    opening([&] {
        // A file system without shared memory keeps the rollback journal, which is as safe.
        sqlite3_exec(db_, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        executeSql(db_, "PRAGMA synchronous=FULL");
        // Statement journals, which need no durability, stay off the disk: with triggers every
        // write in a multi-statement transaction opens one.
        executeSql(db_, "PRAGMA temp_store=MEMORY");
    });
    try {
        probeWrite(db_);
    } catch (const EDatabaseError& e) {
        close();
        cannotWrite(file_, e);
    }
    opening([&] {
        if (empty) createInstallation(db_);
        keepStoreRules(db_);
    });
    sqlite3_set_authorizer(db_, &Database::authorize, this);
}

Database::~Database() {
    close();
}

void Database::dropIdleStatements() {
    for (Idle& idle : idle_)
        sqlite3_finalize(idle.stmt);
    idle_.clear();
    idleByText_.clear();
}

void Database::close() {
    letReadersGo();
    dropIdleStatements();
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

// --- Statement ---

Database::Statement::Statement(Statement&& other) noexcept
    : db_(other.db_), text_(std::move(other.text_)), stmt_(other.stmt_), keep_(other.keep_) {
    other.stmt_ = nullptr;
    other.db_ = nullptr;
}

Database::Statement& Database::Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        release();
        db_ = other.db_;
        text_ = std::move(other.text_);
        stmt_ = other.stmt_;
        keep_ = other.keep_;
        other.stmt_ = nullptr;
        other.db_ = nullptr;
    }
    return *this;
}

void Database::Statement::release() {
    if (!stmt_) return;
    if (db_ && keep_)
        db_->giveBack(std::move(text_), stmt_);
    else
        sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    db_ = nullptr;
}

Database::Statement Database::takeIdle(const std::string& text) {
    const auto found = idleByText_.find(text);
    if (found == idleByText_.end()) return {};
    const auto entry = found->second;
    sqlite3_stmt* stmt = entry->stmt;
    idleByText_.erase(found);
    idle_.erase(entry);
    return Statement(this, text, stmt, true);
}

Database::Statement Database::take(const std::string& text) {
    if (Statement kept = takeIdle(text)) return kept;
    schemaChanging_ = false;
    size_t tail = 0;
    StatementPtr s = prepareStatement(db_, text, &tail);
    const bool changesSchema = schemaChanging_;
    if (!s) throw EDatabaseError("SQL 文が空です。\nSQL: " + text);
    if (prepareStatement(db_, std::string_view(text).substr(tail)))
        throw EDatabaseError("一度に実行できる SQL 文は一つだけです。\nSQL: " + text);
    // A statement that makes or alters a table runs once: it is not kept.
    return Statement(this, text, s.release(), !changesSchema);
}

void Database::giveBack(std::string text, sqlite3_stmt* stmt) {
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    idle_.push_front({std::move(text), stmt});
    idleByText_.emplace(idle_.front().text, idle_.begin());
    if (idle_.size() <= kKeptStatements) return;
    const auto oldest = std::prev(idle_.end());
    const auto range = idleByText_.equal_range(oldest->text);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second == oldest) {
            idleByText_.erase(it);
            break;
        }
    }
    sqlite3_finalize(oldest->stmt);
    idle_.erase(oldest);
}

Database::Statement Database::prepareRows(const std::string& sql) {
    const std::string text = withNulBytesSpelled(sql);
    // A lookup of the same form as one before it, with other values, is not compiled again.
    std::optional<StatementWithValues> form = selectWithEqualValuesAsPlaces(text);
    Statement s;
    if (form) {
        try {
            s = take(form->text);
            int place = 0;
            for (const std::string& value : form->values)
                if (sqlite3_bind_text(s.get(), ++place, value.data(),
                                      static_cast<int>(value.size()),
                                      SQLITE_TRANSIENT) != SQLITE_OK)
                    throwDatabaseError(db_, text);
        } catch (const EDatabaseError&) {
            form.reset();  // the text as written gives the engine's own message
            s.release();
        }
    }
    if (!form) s = take(text);
    if (sqlite3_column_count(s.get()) == 0)
        throw EDatabaseError("この SQL 文は結果の行を返しません。\nSQL: " + text);
    return s;
}

Database::Statement Database::prepareOwn(const std::string& text) {
    if (Statement kept = takeIdle(text)) return kept;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_, text.data(), static_cast<int>(text.size()), &raw, nullptr) !=
            SQLITE_OK ||
        !raw) {
        sqlite3_finalize(raw);
        return {};
    }
    return Statement(this, text, raw, true);
}

void Database::addReader(Reader* reader) {
    readers_.push_back(reader);
}

void Database::removeReader(Reader* reader) {
    std::erase(readers_, reader);
}

void Database::letReadersGo() {
    while (!readers_.empty()) {
        Reader* reader = readers_.back();
        reader->letGo();
        removeReader(reader);
    }
}

int Database::authorize(void* self, int action, const char*, const char*, const char*,
                        const char*) {
    if (action == SQLITE_CREATE_TABLE || action == SQLITE_ALTER_TABLE)
        static_cast<Database*>(self)->schemaChanging_ = true;
    return SQLITE_OK;
}

void Database::keepHeldStoreRules() {
    if (!rulesHeld_) return;
    rulesHeld_ = false;
    letReadersGo();
    dropIdleStatements();  // compiled without the rules made now
    keepStoreRules(db_);
}

void Database::run(const std::string& sql, std::vector<std::string>* columns,
                   std::vector<Row>* rows) {
    execute(sql, false, columns, rows);
}

void Database::select(const std::string& sql, std::vector<std::string>& columns,
                      std::vector<Row>& rows, size_t maxRows) {
    execute(sql, true, &columns, &rows, maxRows);
}

void Database::runWithValues(const std::string& sql,
                             std::initializer_list<std::string_view> values) {
    execute(sql, false, nullptr, nullptr, SIZE_MAX, values);
}

void Database::execute(const std::string& sql, bool mustReturnRows,
                       std::vector<std::string>* columns, std::vector<Row>* rows, size_t maxRows,
                       std::initializer_list<std::string_view> values) {
    const std::string text = withNulBytesSpelled(sql);
    // A write of the same form as one before it, with other values, is not compiled again.
    std::optional<StatementWithValues> form;
    if (values.size() == 0 && !mustReturnRows) form = withValuesAsPlaces(text);
    Statement s;
    if (form) {
        try {
            s = take(form->text);
        } catch (const EDatabaseError&) {
            form.reset();  // the text as written gives the engine's own message
        }
    }
    if (!form) s = take(text);
    const bool changesSchema = !s.keep_;
    const int n = sqlite3_column_count(s.get());
    if (mustReturnRows && n == 0)
        throw EDatabaseError("この SQL 文は結果の行を返しません。\nSQL: " + text);
    int place = 0;
    auto bind = [&](std::string_view value) {
        if (sqlite3_bind_text(s.get(), ++place, value.data(), static_cast<int>(value.size()),
                              SQLITE_TRANSIENT) != SQLITE_OK)
            throwDatabaseError(db_, text);
    };
    for (std::string_view value : values)
        bind(value);
    if (form)
        for (const std::string& value : form->values)
            bind(value);
    // Anything but a read commits only once no reader is in the middle of its rows.
    if (n == 0 || !sqlite3_stmt_readonly(s.get())) letReadersGo();

    if (rows) rows->clear();
    // The names after the steps, which compile a kept statement anew when the schema changed.
    auto nameColumns = [&] {
        if (!columns) return;
        columns->clear();
        for (int c = 0; c < sqlite3_column_count(s.get()); ++c) {
            const char* name = sqlite3_column_name(s.get(), c);
            columns->push_back(name ? name : "");
        }
    };
    if (!changesSchema) {
        stepAll(db_, s.get(), text, rows, maxRows);
        nameColumns();
        return;
    }
    // The statements kept were compiled for the tables as they were.
    dropIdleStatements();
    nameColumns();
    // A new table or column gets its rules in the same commit, so that no write can reach it
    // before they hold.
    executeSql(db_, "SAVEPOINT schema_change");
    try {
        stepAll(db_, s.get(), text, rows, maxRows);
        s.release();
        if (rulesHeld_)
            setAsideStaleInsertRules(db_);
        else
            keepStoreRules(db_);
    } catch (...) {
        s.release();
        sqlite3_exec(db_, "ROLLBACK TO schema_change; RELEASE schema_change", nullptr, nullptr,
                     nullptr);
        throw;
    }
    executeSql(db_, "RELEASE schema_change");
}

}  // namespace qpane
