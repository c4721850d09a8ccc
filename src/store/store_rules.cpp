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

std::string storedDefinition(sqlite3* db, const std::string& trigger) {
    std::vector<std::string> sql = firstColumn(
        db, "SELECT sql FROM sqlite_schema WHERE type='trigger' AND name=" + quotedText(trigger));
    return sql.empty() ? std::string() : sql[0];
}

// The triggers rewrite the row by its rowid; a table without one is left alone.
bool hasRowid(sqlite3* db, const std::string& table) {
    sqlite3_stmt* raw = nullptr;
    std::string probe = "SELECT rowid FROM " + quotedName(table) + " LIMIT 0";
    bool ok = sqlite3_prepare_v2(db, probe.c_str(), -1, &raw, nullptr) == SQLITE_OK;
    sqlite3_finalize(raw);
    return ok;
}

// One trigger per table and event, covering every column: every statement on the table
// compiles its triggers, and one trigger over all columns compiles several times faster than
// one per column. The new values are checked after the write, so that the column's affinity
// has been applied; the rewrite leaves no empty text, so it cannot fire the trigger again.
// A trigger whose text no longer matches the table's columns (a column was added) is made anew.
void addEmptyTextTriggers(sqlite3* db, const std::string& table,
                          const std::vector<std::string>& columns, std::vector<std::string>& todo) {
    std::string when, set;
    for (const std::string& column : columns) {
        const std::string c = quotedName(column);
        when += (when.empty() ? "" : " OR ") + ("NEW." + c + " = ''");
        set += (set.empty() ? "" : ", ") + (c + " = NULLIF(" + c + ", '')");
    }
    const std::string t = quotedName(table);
    const std::string body =
        " WHEN " + when + " BEGIN UPDATE " + t + " SET " + set + " WHERE rowid = NEW.rowid; END";
    for (const char* event : {"INSERT", "UPDATE"}) {
        const std::string name =
            std::string(event[0] == 'I' ? "empty_ins:" : "empty_upd:") + lowerCase(table);
        const std::string sql =
            "CREATE TRIGGER " + quotedName(name) + " AFTER " + event + " ON " + t + body;
        const std::string stored = storedDefinition(db, name);
        if (stored == sql) continue;
        if (!stored.empty()) todo.push_back("DROP TRIGGER " + quotedName(name));
        todo.push_back(sql);
    }
}

struct TableIndex {
    const char* table;
    const char* name;
    const char* columns[3];
};

// Updates and lookups go by bib and block, the maintenance and group grids by block and bib;
// rankings by block and group, ordered by a time; the display cycle's search for the pass rows
// still to show goes by sumi, ordered by uc, and must not read the rows shown already.
// Equal keys stay in rowid order, the order in which the rows were inserted.
constexpr TableIndex kIndexes[] = {
    {"timedata", "timedata_block_bib", {"block", "bib", nullptr}},
    {"timedata", "timedata_rank_time1", {"block", "grp", "time1"}},
    {"timedata", "timedata_rank_totalt", {"block", "grp", "totalt"}},
    {"crosst", "crosst_uc", {"uc", nullptr, nullptr}},
    {"crosst", "crosst_sumi_uc", {"sumi", "uc", nullptr}},
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
    const std::set<std::string> indexes = schemaNames(db, "index");
    std::vector<std::string> todo;
    for (const std::string& table : firstColumn(
             db, "SELECT name FROM sqlite_schema WHERE type='table' AND name NOT LIKE 'sqlite%'")) {
        if (!hasRowid(db, table)) continue;
        const std::vector<std::string> columns =
            firstColumn(db, "SELECT name FROM pragma_table_info(" + quotedText(table) + ")");
        addEmptyTextTriggers(db, table, columns, todo);
        std::set<std::string> names;
        for (const std::string& column : columns)
            names.insert(lowerCase(column));
        addIndexes(table, names, indexes, todo);
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
