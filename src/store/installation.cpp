#include "store/installation.h"

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "platform/byte_text.h"
#include "platform/convert.h"
#include "store/sqlite_calls.h"
#include "store/store_rules.h"

namespace qpane {

namespace {

struct Column {
    const char* name;
    const char* type;
};

// Time texts have 10 to 12 characters; tm1 .. tm10 hold a stored pass line. SQLite does not
// cut texts to the declared length, so the lengths only document the forms.
constexpr Column kTimedata[] = {{"bib", "VARCHAR(3)"},     {"grp", "VARCHAR(3)"},
                                {"time1", "VARCHAR(12)"},  {"time2", "VARCHAR(12)"},
                                {"totalt", "VARCHAR(12)"}, {"totaltv", "NUMERIC"},
                                {"lap", "NUMERIC"}};
constexpr Column kCrosst[] = {
    {"uc", "NUMERIC"},       {"tm1", "VARCHAR(255)"},  {"tm2", "VARCHAR(255)"},
    {"tm3", "VARCHAR(255)"}, {"tm4", "VARCHAR(255)"},  {"tm5", "VARCHAR(255)"},
    {"tm6", "VARCHAR(255)"}, {"tm7", "VARCHAR(255)"},  {"tm8", "VARCHAR(255)"},
    {"tm9", "VARCHAR(255)"}, {"tm10", "VARCHAR(255)"}, {"sumi", "VARCHAR(1)"}};

struct Table {
    const char* name;
    std::span<const Column> columns;
};
constexpr Table kTables[] = {{"timedata", kTimedata}, {"crosst", kCrosst}};

std::string definition(const Table& table) {
    std::string sql = std::string("CREATE TABLE ") + table.name + " (";
    for (const Column& c : table.columns) {
        if (&c != &table.columns.front()) sql += ", ";
        sql += std::string(c.name) + " " + c.type;
    }
    return sql + ")";
}

}  // namespace

bool isEmptyStore(sqlite3* db) {
    return firstColumn(db, "SELECT count(*) FROM sqlite_schema").at(0) == "0";
}

std::string missingConsoleTable(sqlite3* db) {
    for (const Table& table : kTables) {
        // The names are the console's own: no quote can occur in them.
        const std::string name = std::string("'") + table.name + "'";
        if (firstColumn(db, "SELECT name FROM sqlite_schema WHERE type='table' AND name=" + name +
                                " COLLATE NOCASE")
                .empty())
            return std::string("テーブル ") + table.name + " がありません";
        const std::vector<std::string> columns =
            firstColumn(db, "SELECT name FROM pragma_table_info(" + name + ")");
        std::string missing;
        for (const Column& c : table.columns) {
            if (std::none_of(columns.begin(), columns.end(),
                             [&](const std::string& have) { return equalsNoCase(have, c.name); }))
                missing += (missing.empty() ? "" : "、") + std::string(c.name);
        }
        if (!missing.empty())
            return std::string("テーブル ") + table.name + " に列 " + missing + " がありません";
    }
    return {};
}

void createInstallation(sqlite3* db) {
    // IMMEDIATE: a second console starting on the same folder waits here and then finds the
    // tables made.
    executeSql(db, "BEGIN IMMEDIATE");
    try {
        if (isEmptyStore(db)) {
            for (const Table& table : kTables)
                executeSql(db, definition(table));
            StatementPtr insert =
                prepareStatement(db, "INSERT INTO timedata (bib, grp) VALUES (?, '0')");
            for (int n = 1; n <= 999; ++n) {
                std::string bib = formatBib(n);
                sqlite3_bind_text(insert.get(), 1, bib.data(), static_cast<int>(bib.size()),
                                  SQLITE_TRANSIENT);
                if (sqlite3_step(insert.get()) != SQLITE_DONE) throwDatabaseError(db);
                sqlite3_reset(insert.get());
            }
            keepStoreRules(db);
        }
        executeSql(db, "COMMIT");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

}  // namespace qpane
