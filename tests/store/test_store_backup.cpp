// Backups of the store: copies taken in steps while results are written, their names and how
// many are kept, a disk that fails during a copy, and restoring one from the command line.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "failing_vfs.h"
#include "platform/paths.h"
#include "store/backup_commands.h"
#include "store/store_backup.h"
#include "store/store_lock.h"
#include "store_fixture.h"

namespace qpane::testing {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using std::chrono::system_clock;

// 2026-12-09 05:51:49.250 UTC
const system_clock::time_point kMorning{milliseconds(1796795509250)};

// Every row of timedata and crosst of a database file, in a fixed order.
std::vector<std::string> rowsOf(const fs::path& file) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(pathText(file).c_str(), &db, SQLITE_OPEN_READONLY, nullptr),
              SQLITE_OK);
    std::vector<std::string> rows;
    for (const char* sql :
         {"select * from timedata order by rowid", "select * from crosst order by rowid"}) {
        sqlite3_stmt* s = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, sql, -1, &s, nullptr), SQLITE_OK) << sql;
        while (sqlite3_step(s) == SQLITE_ROW) {
            std::string row;
            for (int c = 0; c < sqlite3_column_count(s); ++c) {
                const auto* t = sqlite3_column_text(s, c);
                row += (t ? reinterpret_cast<const char*>(t) : "<null>") + std::string("|");
            }
            rows.push_back(row);
        }
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    return rows;
}

std::vector<std::string> filesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class StoreBackupTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        folder_ = Paths(root_).dataFolder();
    }
    fs::path backups() const { return backupFolderOf(folder_); }
    // A race that has written for a while: groups, run times, passes of a cross race.
    void writeRace(int from, int to) {
        for (int bib = from; bib <= to; ++bib) {
            char b[16];
            std::snprintf(b, sizeof b, "%03d", bib);
            exec(std::string("update timedata set grp='1',time1='00:01:") +
                 std::to_string(10 + bib % 50) + ".25',totalt='00:01:" +
                 std::to_string(10 + bib % 50) + ".25' where bib='" + b + "'");
            exec(std::string("insert into crosst (uc,tm1) values (") + std::to_string(bib) +
                 ",'00:0" + std::to_string(bib % 10) + ":00.0')");
        }
    }
};

TEST_F(StoreBackupTest, CopyTakenInStepsWhileTheRaceWritesHoldsEveryRowAndRestoresRowForRow) {
    writeRace(1, 200);
    SteppedBackup copy(db().handle(), backups(), kMorning);
    int steps = 0;
    int bib = 201;
    // Two pages a step, and results written between the steps through the same connection,
    // until the last page is copied (the copy then waits for the disk to hold it).
    while (!copy.step(2)) {
        ++steps;
        if (bib <= 400 && copy.copiedPages() < copy.totalPages())
            writeRace(bib, bib + 9), bib += 10;
    }
    ASSERT_GT(steps, 5) << "the copy is to be made in many steps";
    EXPECT_EQ(copy.file().filename(), "QPANEData-20261209-055149-250.db");
    EXPECT_EQ(filesIn(backups()), std::vector<std::string>{"QPANEData-20261209-055149-250.db"});
    const std::vector<std::string> atCopy = rowsOf(Database::fileIn(folder_));
    EXPECT_EQ(rowsOf(copy.file()), atCopy);
    ASSERT_EQ(atCopy.size(), 999u + static_cast<size_t>(bib - 1));

    // The race goes on, then the copy is put back.
    writeRace(401, 500);
    exec("update timedata set time2='00:02:00.00' where bib='001'");
    db_.reset();
    std::ostringstream out, err;
    ASSERT_EQ(restoreBackup(root_, copy.file().filename().string(), out, err), 0) << err.str();
    EXPECT_EQ(rowsOf(Database::fileIn(folder_)), atCopy);
    // What was there before the restore is a backup of its own, with every row.
    const std::vector<std::string> names = backupNames(backups());
    ASSERT_EQ(names.size(), 2u);
    EXPECT_TRUE(names[1].ends_with("-before-restore.db")) << names[1];
    EXPECT_NE(out.str().find(names[1]), std::string::npos) << out.str();
    EXPECT_EQ(rowsOf(backups() / names[1]).size(), 999u + static_cast<size_t>(bib - 1) + 100u);
    EXPECT_EQ(rowsOf(backups() / names[1])[0],
              "001|1|00:01:11.25|00:02:00.00|00:01:11.25|<null>|<null>|");
    // The restored store opens as the console's store and takes results.
    exec("update timedata set time1='00:00:59.99' where bib='999'");
    EXPECT_EQ(value("select time1 from timedata where bib='999'"), "00:00:59.99");
}

TEST_F(StoreBackupTest, NamesSortByTimeAndTheFolderKeepsTheNewestTwenty) {
    db();
    EXPECT_EQ(backupName(kMorning), "QPANEData-20261209-055149-250.db");
    EXPECT_EQ(backupName(kMorning, "before-restore"),
              "QPANEData-20261209-055149-250-before-restore.db");
    EXPECT_TRUE(isBackupName("QPANEData-20261209-055149-250.db"));
    for (const char* bad :
         {"QPANEData.db", "QPANEData-20261209-055149-25.db",
          "QPANEData-20261209-055149-250.db.partial", "x-20261209-055149-250.db",
          "QPANEData-20261209-055149-250-.db", "QPANEData-2026120a-055149-250.db"})
        EXPECT_FALSE(isBackupName(bad)) << bad;

    // Two copies in the same millisecond: the second moves on to the next one.
    for (int i = 0; i < 2; ++i) {
        SteppedBackup copy(db().handle(), backups(), kMorning);
        EXPECT_TRUE(copy.step(-1));
    }
    EXPECT_EQ(backupNames(backups()),
              (std::vector<std::string>{"QPANEData-20261209-055149-250.db",
                                        "QPANEData-20261209-055149-251.db"}));
    // 23 more over the next minutes, with a leftover of a cut copy and a file of the user's.
    for (int i = 0; i < 23; ++i) {
        SteppedBackup copy(db().handle(), backups(), kMorning + std::chrono::minutes(5 * (i + 1)));
        EXPECT_TRUE(copy.step(-1));
    }
    std::ofstream(backups() / "QPANEData-20261209-235959-999.db.partial") << "cut";
    std::ofstream(backups() / "notes.txt") << "keep";
    pruneBackups(backups());
    const std::vector<std::string> kept = backupNames(backups());
    ASSERT_EQ(kept.size(), kBackupsKept);
    EXPECT_EQ(kept.front(), backupName(kMorning + std::chrono::minutes(20)));
    EXPECT_EQ(kept.back(), backupName(kMorning + std::chrono::minutes(115)));
    EXPECT_FALSE(fs::exists(backups() / "QPANEData-20261209-235959-999.db.partial"));
    EXPECT_TRUE(fs::exists(backups() / "notes.txt"));

    std::ostringstream out, err;
    EXPECT_EQ(listBackups(root_, out, err), 0);
    std::istringstream lines(out.str());
    std::string first;
    std::getline(lines, first);
    EXPECT_EQ(first.substr(0, first.find('\t')), kept.back()) << "newest first";
    EXPECT_GT(std::stoll(first.substr(first.find('\t') + 1)), 4096);
    const std::string listed = out.str();
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 20);
}

TEST_F(StoreBackupTest, DiskThatFailsDuringTheCopyLeavesNoFileAndTheStoreAsItWas) {
    writeRace(1, 300);
    FailingVfs disk;
    disk.failWrites(/*after=*/3);
    SteppedBackup copy(db().handle(), backups(), kMorning, {}, disk.name());
    try {
        while (!copy.step(2)) {
        }
        FAIL() << "the copy did not meet the full disk";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("バックアップ"), std::string::npos) << e.what();
        EXPECT_EQ(e.code(), SQLITE_FULL);
    }
    EXPECT_GT(disk.failedWrites(), 0);
    EXPECT_TRUE(filesIn(backups()).empty()) << "no half copy, under any name";
    EXPECT_THROW(copy.step(2), EDatabaseError);
    EXPECT_EQ(value("select count(*) from crosst"), "300");

    // With room again, the next copy is complete.
    disk.heal();
    SteppedBackup again(db().handle(), backups(), kMorning, {}, disk.name());
    EXPECT_TRUE(again.step(-1));
    EXPECT_EQ(rowsOf(again.file()), rowsOf(Database::fileIn(folder_)));

    // A folder that cannot be made: the copy does not start.
    fs::remove_all(backups());
    std::ofstream(backups()) << "a file where the folder goes";
    EXPECT_THROW(SteppedBackup(db().handle(), backups(), kMorning), EDatabaseError);
}

TEST_F(StoreBackupTest, RestoreIsRefusedWhileAConsoleHoldsTheStoreAndForWhatIsNoBackup) {
    writeRace(1, 20);
    SteppedBackup copy(db().handle(), backups(), kMorning);
    ASSERT_TRUE(copy.step(-1));
    const std::string name = copy.file().filename().string();
    exec("update timedata set time1='' where bib='001'");
    const std::vector<std::string> before = rowsOf(Database::fileIn(folder_));
    auto restore = [&](const std::string& n, std::string* errText = nullptr) {
        std::ostringstream out, err;
        const int code = restoreBackup(root_, n, out, err);
        if (errText) *errText = err.str();
        return code;
    };
    std::string why;
    {
        std::optional<StoreLock> console = StoreLock::tryTake(folder_);
        ASSERT_TRUE(console);
        EXPECT_FALSE(StoreLock::tryTake(folder_)) << "the lock is held once";
        EXPECT_EQ(restore(name, &why), 1);
        EXPECT_NE(why.find("コンソールを終了してから"), std::string::npos) << why;
    }
    EXPECT_EQ(restore("QPANEData-20200101-000000-000.db", &why), 1);
    EXPECT_NE(why.find("ありません"), std::string::npos) << why;
    EXPECT_EQ(restore("../QPANEData.db", &why), 1);
    std::ofstream(backups() / "QPANEData-20261209-060000-000.db") << "not a database at all";
    EXPECT_EQ(restore("QPANEData-20261209-060000-000.db", &why), 1);
    EXPECT_NE(why.find("戻せません"), std::string::npos) << why;
    {
        sqlite3* other = nullptr;
        ASSERT_EQ(
            sqlite3_open(pathText(backups() / "QPANEData-20261209-060100-000.db").c_str(), &other),
            SQLITE_OK);
        sqlite3_exec(other, "create table accounts (id, amount)", nullptr, nullptr, nullptr);
        sqlite3_close(other);
    }
    EXPECT_EQ(restore("QPANEData-20261209-060100-000.db", &why), 1);
    EXPECT_NE(why.find("Q-PANE の結果データベースではありません"), std::string::npos) << why;
    EXPECT_EQ(rowsOf(Database::fileIn(folder_)), before) << "nothing refused touches the store";
    EXPECT_EQ(backupNames(backups()).size(), 3u) << "and no before-restore copy was taken";

    // Once the console has ended, the restore goes through.
    db_.reset();
    EXPECT_EQ(restore(name), 0);
    EXPECT_EQ(value("select time1 from timedata where bib='001'"), "00:01:11.25");
}

}  // namespace
}  // namespace qpane::testing
