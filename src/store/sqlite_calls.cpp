#include "store/sqlite_calls.h"

#include "store/query.h"
#include "store/store_problem.h"

namespace qpane {

void throwDatabaseError(sqlite3* db, std::string_view sql) {
    std::string text = db ? sqlite3_errmsg(db) : "out of memory";
    if (!sql.empty()) {
        text += "\nSQL: ";
        text += sql;
    }
    throw storeError(db ? sqlite3_extended_errcode(db) : SQLITE_NOMEM, text);
}

StatementPtr prepareStatement(sqlite3* db, std::string_view sql, size_t* tail) {
    sqlite3_stmt* raw = nullptr;
    const char* rest = nullptr;
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &raw, &rest) !=
        SQLITE_OK) {
        sqlite3_finalize(raw);
        throwDatabaseError(db, sql);
    }
    if (tail) *tail = rest ? static_cast<size_t>(rest - sql.data()) : sql.size();
    return StatementPtr(raw);
}

void executeSql(sqlite3* db, const std::string& sql) {
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throwDatabaseError(db, sql);
}

std::optional<std::string> columnValue(sqlite3_stmt* s, int c) {
    if (sqlite3_column_type(s, c) == SQLITE_NULL) return std::nullopt;
    // The text first, then its length: the length call may convert the value to text.
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(s, c));
    int size = sqlite3_column_bytes(s, c);
    if (!bytes) return std::string();
    return std::string(bytes, static_cast<size_t>(size));
}

std::vector<std::string> firstColumn(sqlite3* db, const std::string& sql) {
    std::vector<std::string> values;
    StatementPtr s = prepareStatement(db, sql);
    int rc;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW)
        values.push_back(columnValue(s.get(), 0).value_or(""));
    if (rc != SQLITE_DONE) throwDatabaseError(db, sql);
    return values;
}

std::string quotedName(std::string_view name) {
    std::string q = "\"";
    for (char c : name) {
        if (c == '"') q += '"';
        q += c;
    }
    q += '"';
    return q;
}

}  // namespace qpane
