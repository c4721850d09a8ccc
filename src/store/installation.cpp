#include "store/installation.h"

#include <string>

#include "platform/convert.h"
#include "store/sqlite_calls.h"
#include "store/store_rules.h"

namespace qpane {

namespace {

// Time texts have 10 to 12 characters; tm1 .. tm10 hold a stored pass line. SQLite does not
// cut texts to the declared length, so the lengths only document the forms.
constexpr const char* kTimedata =
    "CREATE TABLE timedata (bib VARCHAR(3), grp VARCHAR(3), time1 VARCHAR(12), "
    "time2 VARCHAR(12), totalt VARCHAR(12), totaltv NUMERIC, lap NUMERIC)";

std::string crosstDefinition() {
    std::string sql = "CREATE TABLE crosst (uc NUMERIC";
    for (int i = 1; i <= 10; ++i)
        sql += ", tm" + std::to_string(i) + " VARCHAR(255)";
    return sql + ", sumi VARCHAR(1))";
}

}  // namespace

bool isEmptyStore(sqlite3* db) {
    return firstColumn(db, "SELECT count(*) FROM sqlite_schema WHERE type='table'").at(0) == "0";
}

void createInstallation(sqlite3* db) {
    // IMMEDIATE: a second console starting on the same folder waits here and then finds the
    // tables made.
    executeSql(db, "BEGIN IMMEDIATE");
    try {
        if (isEmptyStore(db)) {
            executeSql(db, kTimedata);
            executeSql(db, crosstDefinition());
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
