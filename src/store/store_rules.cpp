#include "store/store_rules.h"

#include <set>
#include <string>
#include <vector>

#include "store/sqlite_calls.h"

namespace qpane {

namespace {

std::string lowerCase(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string quotedText(std::string_view text) {
    std::string q = "'";
    for (char c : text) {
        if (c == '\'') q += '\'';
        q += c;
    }
    return q + "'";
}

std::set<std::string> schemaNames(sqlite3* db, const char* type) {
    std::set<std::string> names;
    for (std::string& name :
         firstColumn(db, std::string("SELECT name FROM sqlite_schema WHERE type='") + type + "'"))
        names.insert(lowerCase(std::move(name)));
    return names;
}

// The triggers rewrite the row by its rowid; a table without one is left alone.
bool hasRowid(sqlite3* db, const std::string& table) {
    sqlite3_stmt* raw = nullptr;
    std::string probe = "SELECT rowid FROM " + quotedName(table) + " LIMIT 0";
    bool ok = sqlite3_prepare_v2(db, probe.c_str(), -1, &raw, nullptr) == SQLITE_OK;
    sqlite3_finalize(raw);
    return ok;
}

// The new value is checked after the write, so that the column's affinity has been applied
// and a NULL written back cannot fire the trigger again (NULL = '' is not true).
void addEmptyTextTriggers(const std::string& table, const std::string& column,
                          const std::set<std::string>& existing, std::vector<std::string>& todo) {
    const std::string t = quotedName(table), c = quotedName(column);
    const std::string key = lowerCase(table) + "." + lowerCase(column);
    const std::string body = " WHEN NEW." + c + " = '' BEGIN UPDATE " + t + " SET " + c +
                             " = NULL WHERE rowid = NEW.rowid; END";
    const std::string onInsert = "empty_ins:" + key, onUpdate = "empty_upd:" + key;
    if (!existing.count(onInsert))
        todo.push_back("CREATE TRIGGER " + quotedName(onInsert) + " AFTER INSERT ON " + t + body);
    if (!existing.count(onUpdate))
        todo.push_back("CREATE TRIGGER " + quotedName(onUpdate) + " AFTER UPDATE OF " + c + " ON " +
                       t + body);
}

struct TableIndex {
    const char* table;
    const char* name;
    const char* columns[3];
};

// Updates and lookups go by bib and block; rankings by block and group, ordered by a time.
// Equal keys stay in rowid order, the order in which the rows were inserted.
constexpr TableIndex kIndexes[] = {
    {"timedata", "timedata_bib_block", {"bib", "block", nullptr}},
    {"timedata", "timedata_rank_time1", {"block", "grp", "time1"}},
    {"timedata", "timedata_rank_totalt", {"block", "grp", "totalt"}},
    {"crosst", "crosst_uc", {"uc", nullptr, nullptr}},
};

// An index is made once all of its columns exist (block arrives with the upgrade).
void addIndexes(const std::string& table, const std::set<std::string>& columns,
                const std::set<std::string>& existing, std::vector<std::string>& todo) {
    for (const TableIndex& index : kIndexes) {
        if (lowerCase(table) != index.table || existing.count(index.name)) continue;
        std::string list;
        bool complete = true;
        for (const char* column : index.columns) {
            if (!column) break;
            complete = complete && columns.count(column);
            list += (list.empty() ? "" : ", ") + std::string(column);
        }
        if (complete)
            todo.push_back("CREATE INDEX " + std::string(index.name) + " ON " + quotedName(table) +
                           " (" + list + ")");
    }
}

}  // namespace

void keepStoreRules(sqlite3* db) {
    const std::set<std::string> triggers = schemaNames(db, "trigger");
    const std::set<std::string> indexes = schemaNames(db, "index");
    std::vector<std::string> todo;
    for (const std::string& table : firstColumn(
             db, "SELECT name FROM sqlite_schema WHERE type='table' AND name NOT LIKE 'sqlite%'")) {
        if (!hasRowid(db, table)) continue;
        std::set<std::string> columns;
        for (const std::string& column :
             firstColumn(db, "SELECT name FROM pragma_table_info(" + quotedText(table) + ")")) {
            columns.insert(lowerCase(column));
            addEmptyTextTriggers(table, column, triggers, todo);
        }
        addIndexes(table, columns, indexes, todo);
    }
    if (todo.empty()) return;
    executeSql(db, "SAVEPOINT store_rules");
    try {
        for (const std::string& sql : todo)
            executeSql(db, sql);
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK TO store_rules; RELEASE store_rules", nullptr, nullptr, nullptr);
        throw;
    }
    executeSql(db, "RELEASE store_rules");
}

}  // namespace qpane
