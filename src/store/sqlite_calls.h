#pragma once

#include <sqlite3.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Thin helpers over the SQLite C API shared by the files of the store. Every failure becomes
// an EDatabaseError that carries SQLite's message.

namespace qpane {

struct StatementDeleter {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

// SQLite's message for the last failure on db, followed by the statement when one is given;
// a failure of the file or the disk is told in Japanese first (store_problem.h).
[[noreturn]] void throwDatabaseError(sqlite3* db, std::string_view sql = {});

// Prepares the first statement of sql; `tail` receives the offset of the text after it. A text
// that holds no statement (blanks or comments only) gives a null pointer.
StatementPtr prepareStatement(sqlite3* db, std::string_view sql, size_t* tail = nullptr);

// Runs statements that return nothing the caller needs (schema work, transaction control).
void executeSql(sqlite3* db, const std::string& sql);

// The value of column c of the current row; std::nullopt for no value. Every byte is kept.
std::optional<std::string> columnValue(sqlite3_stmt* s, int c);

// The first column of every row of a query, "" for no value.
std::vector<std::string> firstColumn(sqlite3* db, const std::string& sql);

// "name" with inner quotes doubled, for identifiers placed in generated statements.
std::string quotedName(std::string_view name);

}  // namespace qpane
