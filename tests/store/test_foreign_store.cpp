// A file in the store's place that holds some other program's tables is not the console's: it
// is refused before anything is written to it, with a message that names it.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <sstream>

#include "store/tableupdate.h"
#include "store_fixture.h"

namespace qpane {
namespace {

using testing::RecordingBoxes;
using testing::StoreTest;
namespace fs = std::filesystem;

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class ForeignStoreTest : public StoreTest {
  protected:
    fs::path file() const { return Database::fileIn(folder_); }

    // Runs statements on the store file with a plain connection, as another program would.
    void other(const std::string& sql, bool keepWal = false) {
        fs::create_directories(folder_);
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file().string().c_str(), &db), SQLITE_OK);
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
            << (error ? error : "");
        sqlite3_free(error);
        if (keepWal) sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        sqlite3_close(db);
    }

    // The message of the refusal; the store file is the same, byte for byte, afterwards.
    std::string refusal() {
        const std::string before = bytesOf(file());
        std::string text;
        try {
            Database store(folder_);
            ADD_FAILURE() << "the store was taken as the console's";
        } catch (const EDatabaseError& e) {
            text = e.what();
        }
        EXPECT_EQ(bytesOf(file()), before);
        EXPECT_NE(text.find(file().string()), std::string::npos) << text;
        EXPECT_NE(text.find("Q-PANE の結果データベースではありません"), std::string::npos) << text;
        return text;
    }

    // The installation, made by the console and closed again.
    void install() {
        db();
        db_.reset();
    }
};

TEST_F(ForeignStoreTest, AnotherProgramsDatabaseIsRefusedAndLeftAsItWas) {
    other(
        "CREATE TABLE customers (id INTEGER PRIMARY KEY, name TEXT);"
        "INSERT INTO customers (name) VALUES ('Sato'), ('Suzuki');");
    const std::string text = refusal();
    EXPECT_NE(text.find("timedata"), std::string::npos) << text;
    // Nothing was left beside it: no journal, no log, no version table written.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(ForeignStoreTest, ItsUncheckpointedLogIsNeitherMergedNorRemoved) {
    other(
        "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
        "CREATE TABLE readings (v); INSERT INTO readings VALUES (1), (2), (3);",
        /*keepWal=*/true);
    const fs::path wal = file().string() + "-wal";
    ASSERT_TRUE(fs::exists(wal));
    const std::string log = bytesOf(wal);
    refusal();
    EXPECT_EQ(bytesOf(wal), log);
}

TEST_F(ForeignStoreTest, StoreWithoutEachOfItsTablesOrColumnsIsRefusedNamingWhatIsMissing) {
    const std::string crosst =
        "CREATE TABLE crosst (uc NUMERIC, tm1, tm2, tm3, tm4, tm5, tm6, tm7, tm8, tm9, tm10, "
        "sumi)";
    const std::string timedataWithoutTotal =
        "DROP TABLE timedata; CREATE TABLE timedata (bib, grp, time1, time2, totaltv, lap, "
        "block)";
    const std::string crosstWithoutSumi =
        "DROP TABLE crosst; CREATE TABLE crosst (uc NUMERIC, tm1, tm2, tm3, tm4, tm5, tm6, tm7, "
        "tm8, tm9, tm10)";
    const struct {
        std::string change;
        const char* named;
    } cases[] = {
        {"DROP TABLE crosst", "crosst"},
        {"DROP TABLE timedata", "timedata"},
        {timedataWithoutTotal, "totalt"},
        {crosstWithoutSumi, "sumi"},
        {"DROP TABLE crosst; CREATE VIEW crosst AS SELECT * FROM timedata", "crosst"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        fs::remove_all(folder_);
        install();
        other(c.change);
        const std::string text = refusal();
        EXPECT_NE(text.find(c.named), std::string::npos) << text;
    }
    // The columns are the console's, whatever their case and order, and others may follow.
    fs::remove_all(folder_);
    install();
    other("DROP TABLE crosst; " + crosst + "; ALTER TABLE crosst ADD COLUMN note");
    other("CREATE TABLE TIMEDATA2 (x); ALTER TABLE timedata RENAME COLUMN bib TO BIB");
    EXPECT_NO_THROW(db());
}

TEST_F(ForeignStoreTest, UpgradedStoreWithTheOperatorsOwnTableIsTheConsoles) {
    {
        Database store(folder_);
        TQuery Qedit(store, "Qedit");
        RecordingBoxes boxes;
        tableupdate(Qedit, boxes);
        store.run("CREATE TABLE notes (text)");
    }
    EXPECT_EQ(value("select count(*) from timedata"), "9990");
    EXPECT_EQ(value("select upv from tableupd"), "1");
}

TEST_F(ForeignStoreTest, FileWithoutAnyObjectStillBecomesTheInstallation) {
    // A file that another program only created, or that the console's first start left when it
    // was stopped before the tables were made (SQLite writes the log mode into the header).
    other("PRAGMA journal_mode=WAL");
    ASSERT_GT(fs::file_size(file()), 0u);
    EXPECT_EQ(value("select count(*) from timedata"), "999");
    // A file with only a view holds something of someone's: it is not taken.
    db_.reset();
    fs::remove_all(folder_);
    other("CREATE VIEW answer AS SELECT 42");
    refusal();
}

}  // namespace
}  // namespace qpane
