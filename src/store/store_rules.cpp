#include "store/store_rules.h"

#include <cstring>
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

std::string insertTriggerName(const std::string& table) {
    return "empty_ins:" + lowerCase(table);
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

std::vector<std::string> columnsOf(sqlite3* db, const std::string& table) {
    return firstColumn(db, "SELECT name FROM pragma_table_info(" + quotedText(table) + ")");
}

std::string insertTrigger(const std::string& table, const std::vector<std::string>& columns) {
    const std::string t = quotedName(table);
    std::string when, set;
    for (const std::string& column : columns) {
        const std::string c = quotedName(column);
        when += (when.empty() ? "" : " OR ") + ("NEW." + c + " = ''");
        set += (set.empty() ? "" : ", ") + (c + " = NULLIF(" + c + ", '')");
    }
    return "CREATE TRIGGER " + quotedName(insertTriggerName(table)) + " AFTER INSERT ON " + t +
           " WHEN " + when + " BEGIN UPDATE " + t + " SET " + set + " WHERE rowid = NEW.rowid; END";
}

// Inserts: one trigger per table over every column, since every insert compiles the insert
// triggers of its table, and one over all columns compiles several times faster than one per
// column. Updates: one trigger per column, limited to updates of that column (UPDATE OF), so
// that an update compiles only the triggers of the columns it sets: a stored time or a pass
// row marked shown compiles one small trigger instead of one over every column.
// The new values are checked after the write, so that the column's affinity has been applied;
// the rewrite leaves no empty text, so it cannot fire the trigger again. A trigger whose text
// no longer matches the table's columns (a column was added) is made anew; the update trigger
// over every column that earlier stores have is replaced.
void addEmptyTextTriggers(sqlite3* db, const std::string& table,
                          const std::vector<std::string>& columns,
                          const std::set<std::string>& triggers, std::vector<std::string>& todo) {
    const std::string t = quotedName(table);
    auto keep = [&](const std::string& name, const std::string& sql) {
        const std::string stored = storedDefinition(db, name);
        if (stored == sql) return;
        if (!stored.empty()) todo.push_back("DROP TRIGGER " + quotedName(name));
        todo.push_back(sql);
    };
    keep(insertTriggerName(table), insertTrigger(table, columns));
    const std::string wholeUpdate = "empty_upd:" + lowerCase(table);
    if (triggers.count(wholeUpdate)) todo.push_back("DROP TRIGGER " + quotedName(wholeUpdate));
    for (const std::string& column : columns) {
        const std::string c = quotedName(column);
        const std::string name = wholeUpdate + ":" + lowerCase(column);
        keep(name, "CREATE TRIGGER " + quotedName(name) + " AFTER UPDATE OF " + c + " ON " + t +
                       " WHEN NEW." + c + " = '' BEGIN UPDATE " + t + " SET " + c +
                       " = NULL WHERE rowid = NEW.rowid; END");
    }
}

struct TableIndex {
    const char* table;
    const char* name;
    const char* columns[3];
    const char* where = nullptr;  // a partial index: the rows it holds
};

// Updates and lookups go by bib and block, the maintenance and group grids by block and bib;
// rankings by block and group, ordered by a time; the display cycle's search for the pass rows
// still to show goes by sumi, ordered by uc, and must not read the rows shown already; the
// relay's ranking of the whole table, by lap downwards and total, reads its first rows in
// order instead of sorting every row at each pass; so does the data check grid of every run-1
// time, from an index of the rows that have one.
// Equal keys stay in rowid order, the order in which the rows were inserted.
constexpr TableIndex kIndexes[] = {
    {"timedata", "timedata_block_bib", {"block", "bib", nullptr}},
    {"timedata", "timedata_rank_time1", {"block", "grp", "time1"}},
    {"timedata", "timedata_rank_totalt", {"block", "grp", "totalt"}},
    {"crosst", "crosst_uc", {"uc", nullptr, nullptr}},
    {"crosst", "crosst_sumi_uc", {"sumi", "uc", nullptr}},
    {"timedata", "timedata_relay", {"lap desc", "totaltv", nullptr}},
    {"timedata", "timedata_check_time1", {"time1", "bib desc", nullptr}, "time1<>''"},
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
            const std::string name(column, std::strcspn(column, " "));  // less its order
            complete = complete && columns.count(name);
            list += (list.empty() ? "" : ", ") + std::string(column);
        }
        if (complete)
            todo.push_back("CREATE INDEX " + std::string(index.name) + " ON " + quotedName(table) +
                           " (" + list + ")" +
                           (index.where ? std::string(" WHERE ") + index.where : ""));
    }
}

}  // namespace

void keepStoreRules(sqlite3* db) {
    const std::set<std::string> indexes = schemaNames(db, "index");
    const std::set<std::string> triggers = schemaNames(db, "trigger");
    std::vector<std::string> todo;
    for (const std::string& table : firstColumn(
             db, "SELECT name FROM sqlite_schema WHERE type='table' AND name NOT LIKE 'sqlite%'")) {
        if (!hasRowid(db, table)) continue;
        const std::vector<std::string> columns = columnsOf(db, table);
        addEmptyTextTriggers(db, table, columns, triggers, todo);
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

void setAsideStaleInsertRules(sqlite3* db) {
    for (const std::string& table : firstColumn(
             db, "SELECT name FROM sqlite_schema WHERE type='table' AND name NOT LIKE 'sqlite%'")) {
        const std::string name = insertTriggerName(table);
        const std::string stored = storedDefinition(db, name);
        if (!stored.empty() && stored != insertTrigger(table, columnsOf(db, table)))
            executeSql(db, "DROP TRIGGER " + quotedName(name));
    }
}

}  // namespace qpane
