// The window's automatic backups: at 実行, before the questions that delete results; every
// five minutes of the race while results change; a disk that refuses them; the store's lock.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <sstream>

#include "platform/paths.h"
#include "store/backup_commands.h"
#include "store/store_backup.h"
#include "store/store_lock.h"
#include "window_harness.h"

namespace qpane::testing {
namespace {

namespace fs = std::filesystem;

std::string cell(const fs::path& file, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(pathText(file).c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* s = nullptr;
    std::string value = "<none>";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW && sqlite3_column_text(s, 0))
        value = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
    sqlite3_finalize(s);
    sqlite3_close(db);
    return value;
}

fs::path backupsOf(WindowHarness& h) {
    return backupFolderOf(h.w().paths().dataFolder());
}

TEST(StoreBackups, ApplyKeepsTheResultsAsTheyWereBeforeTheOperatorDeletesThem) {
    WindowHarness h({{"Portno", "1"}, {"Disppt", "3"}});
    h.sql(
        "update timedata set grp='1',time1='00:01:23.45',totalt='00:01:23.45' where bib='012' "
        "and block='1'");
    h.start();
    h.boxes().answers = {true, true};  // delete the first runs: yes, really
    h.apply();
    EXPECT_NE(h.sql("select time1 from timedata where bib='012' and block='1'"),
              std::vector<std::string>{"00:01:23.45"});
    const std::vector<std::string> names = backupNames(backupsOf(h));
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(h.w().storeBackups.lastName(), names[0]);
    EXPECT_EQ(
        cell(backupsOf(h) / names[0], "select time1 from timedata where bib='012' and block='1'"),
        "00:01:23.45");
    EXPECT_TRUE(h.boxes().errors.empty());
}

TEST(StoreBackups, EveryFiveMinutesWhileResultsChangeAndNoneWhileNothingChanges) {
    WindowHarness h({{"Portno", "1"}, {"Disppt", "3"}});
    h.sql("update timedata set grp='1' where block='1' and bib>='001' and bib<='050'");
    h.start();
    h.apply();
    ASSERT_EQ(h.w().storeBackups.completed(), 1);
    // A competitor a minute for twelve minutes.
    for (int bib = 1; bib <= 12; ++bib) {
        char line[32];
        std::snprintf(line, sizeof line,
                      "\x02"
                      "C11%03d00:01:%02d.00\x03",
                      bib, 10 + bib);
        h.rx(1, line);
        h.wait(60'000);
        // The flush of a finished copy runs beside the race in real time, which virtual time
        // does not wait for: a loaded machine would leave the five-minute copy unnamed at ten.
        h.w().storeBackups.finish();
    }
    EXPECT_EQ(h.sql("select count(*) from timedata where time1<>''"),
              std::vector<std::string>{"12"});
    // 実行 at 0, then at five and ten minutes. The flush of a copy runs beside the race, in
    // real time: the last one may still be on its way.
    h.w().storeBackups.finish();
    EXPECT_EQ(h.w().storeBackups.completed(), 3);
    const std::vector<std::string> names = backupNames(backupsOf(h));
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(cell(backupsOf(h) / names[2], "select count(*) from timedata where time1<>''"), "10")
        << "the ten-minute copy holds the competitors up to then";
    // Nothing arrives for a quarter of an hour: no copy of the same results.
    h.wait(15 * 60'000);
    EXPECT_EQ(h.w().storeBackups.completed(), 3);
    EXPECT_FALSE(h.w().storeBackups.copying());
}

TEST(StoreBackups, FolderThatCannotBeMadeIsToldOnceAndTheRaceGoesOn) {
    WindowHarness h({{"Portno", "1"}, {"Disppt", "3"}});
    h.sql("update timedata set grp='1' where block='1' and bib>='001' and bib<='020'");
    h.start();
    fs::create_directories(h.w().paths().dataFolder());
    std::ofstream(backupsOf(h)) << "a file where the folder goes";
    h.apply();
    h.apply();
    ASSERT_EQ(h.boxes().errors.size(), 1u);
    EXPECT_NE(h.boxes().errors[0].find("バックアップ"), std::string::npos) << h.boxes().errors[0];
    h.rx(1,
         "\x02"
         "C1101200:01:23.45\x03");
    h.wait(2000);
    EXPECT_EQ(h.sql("select time1 from timedata where bib='012' and block='1'"),
              std::vector<std::string>{"00:01:23.45"});
    // With the folder back, the next copy is made and a later failure is told again.
    fs::remove(backupsOf(h));
    h.apply();
    EXPECT_EQ(h.w().storeBackups.completed(), 1);
    EXPECT_EQ(h.boxes().errors.size(), 1u);
}

TEST(StoreBackups, RestoreIsRefusedWhileTheWindowIsOpen) {
    WindowHarness h({{"Portno", "1"}});
    h.start();
    h.apply();
    ASSERT_TRUE(h.w().storeBackups.holdsStoreLock());
    EXPECT_FALSE(StoreLock::tryTake(h.w().paths().dataFolder()));
    const std::vector<std::string> names = backupNames(backupsOf(h));
    ASSERT_EQ(names.size(), 1u);
    std::ostringstream out, err;
    EXPECT_EQ(restoreBackup(h.root(), names[0], out, err), 1);
    EXPECT_NE(err.str().find("コンソールが結果データベースを開いています"), std::string::npos)
        << err.str();
    EXPECT_EQ(backupNames(backupsOf(h)).size(), 1u);
}

}  // namespace
}  // namespace qpane::testing
