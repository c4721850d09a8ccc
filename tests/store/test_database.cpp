#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "store_fixture.h"

namespace qpane {
namespace {

using testing::StoreTest;
using Rows = std::vector<std::vector<std::string>>;
namespace fs = std::filesystem;

class DatabaseTest : public StoreTest {
  protected:
    fs::path file() const { return Database::fileIn(folder_); }
    void writeFile(const std::string& bytes) {
        fs::create_directories(folder_);
        std::ofstream(file(), std::ios::binary) << bytes;
    }
    std::string readFile() {
        std::ifstream in(file(), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(DatabaseTest, FirstStartMakesFolderAndInstallationDatabase) {
    folder_ /= "Program Files/PORLEX/QPANEData";
    db();
    EXPECT_EQ(file(), folder_ / "QPANEData.db");
    EXPECT_TRUE(fs::is_regular_file(file()));
    EXPECT_EQ(
        column("select name from pragma_table_info('timedata')"),
        (std::vector<std::string>{"bib", "grp", "time1", "time2", "totalt", "totaltv", "lap"}));
    EXPECT_EQ(column("select name from pragma_table_info('crosst')"),
              (std::vector<std::string>{"uc", "tm1", "tm2", "tm3", "tm4", "tm5", "tm6", "tm7",
                                        "tm8", "tm9", "tm10", "sumi"}));
    EXPECT_EQ(rows("select count(*), min(bib), max(bib), count(distinct bib), min(grp), max(grp), "
                   "count(time1)+count(time2)+count(totalt)+count(totaltv)+count(lap) "
                   "from timedata"),
              (Rows{{"999", "001", "999", "999", "0", "0", "0"}}));
    EXPECT_EQ(column("select bib from timedata order by rowid limit 3"),
              (std::vector<std::string>{"001", "002", "003"}));
    EXPECT_EQ(value("select count(*) from crosst"), "0");
    EXPECT_EQ(value("select count(*) from sqlite_schema where name like 'tableupd'"), "0");
}

TEST_F(DatabaseTest, ReopeningKeepsTheStoreAsItWas) {
    exec("update timedata set grp='4', time1='00:00:01.00' where bib='100'");
    exec("delete from timedata where bib='999'");
    reopen();
    EXPECT_EQ(rows("select grp, time1 from timedata where bib='100'"),
              (Rows{{"4", "00:00:01.00"}}));
    EXPECT_EQ(value("select count(*) from timedata"), "998");
}

TEST_F(DatabaseTest, EmptyStoreFileGetsTheInstallation) {
    writeFile("");
    EXPECT_EQ(value("select count(*) from timedata"), "999");
}

TEST_F(DatabaseTest, PassLineOfAnyLengthFitsInCrosst) {
    const std::string line = "1012     " + std::string(60, '9') + "\r";
    exec("insert into crosst values('1','" + line + "','','','','','','','','','','0')");
    EXPECT_EQ(value("select tm1 from crosst"), line);
}

TEST_F(DatabaseTest, FileThatIsNotADatabaseIsRefusedNamingItAndLeftAlone) {
    const std::string text = "this is a race report, not a store\n";
    writeFile(text);
    try {
        db();
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find(file().string()), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("not a database"), std::string::npos) << e.what();
    }
    EXPECT_EQ(readFile(), text);
}

TEST_F(DatabaseTest, DataFolderThatCannotBeMadeIsAnErrorNamingTheFile) {
    fs::create_directories(folder_);
    std::ofstream(folder_ / "Program Files") << "a file where a folder belongs";
    fs::path data = folder_ / "Program Files" / "QPANEData";
    try {
        Database store(data);
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find((data / "QPANEData.db").string()), std::string::npos)
            << e.what();
    }
}

TEST_F(DatabaseTest, StoreHeldBusyByAnotherProcessIsWaitedFor) {
    db();
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file().string().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; update timedata set grp='7' where bib='001'",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    std::thread release([other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
    auto start = std::chrono::steady_clock::now();
    EXPECT_NO_THROW(exec("update timedata set grp='8' where bib='002'"));
    auto waited = std::chrono::steady_clock::now() - start;
    release.join();
    sqlite3_close(other);
    EXPECT_GE(waited, std::chrono::milliseconds(250));
    EXPECT_EQ(column("select grp from timedata where bib in ('001','002') order by bib"),
              (std::vector<std::string>{"7", "8"}));
}

TEST_F(DatabaseTest, StoreHeldLongerThanTheWaitIsAnError) {
    db();
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file().string().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    try {
        exec("update timedata set grp='8' where bib='002'");
        ADD_FAILURE() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("database is locked"), std::string::npos) << e.what();
    }
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(value("select grp from timedata where bib='002'"), "0");
}

}  // namespace
}  // namespace qpane
