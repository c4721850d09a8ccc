// A store that cannot be written or opened, on a disk that fails on request: found at start-up
// where it can be, told in Japanese with the engine's text after it, and nothing that returned
// as stored is lost when the disk fails in the middle of the writes.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <set>

#include "failing_vfs.h"
#include "platform/convert.h"
#include "store_fixture.h"

namespace qpane {
namespace {

using testing::FailingVfs;
using testing::StoreTest;
namespace fs = std::filesystem;

class UnwritableStoreTest : public StoreTest {
  protected:
    fs::path file() const { return Database::fileIn(folder_); }
    void install() {
        db();
        db_.reset();
    }
    // The message of a start-up that was refused; it names the store file.
    std::string refusal(FailingVfs& vfs) {
        try {
            Database store(folder_, vfs.name());
        } catch (const EDatabaseError& e) {
            EXPECT_NE(std::string(e.what()).find(file().string()), std::string::npos) << e.what();
            return e.what();
        }
        ADD_FAILURE() << "the store opened";
        return {};
    }
    // The text before the first line end, and the text after it.
    static std::string firstLine(const std::string& text) {
        return text.substr(0, text.find('\n'));
    }
    static std::string rest(const std::string& text) {
        const size_t end = text.find('\n');
        return end == std::string::npos ? std::string() : text.substr(end + 1);
    }
    // The store as it was installed: no probe left behind, the file sound.
    void expectInstallationUnchanged() {
        db_.reset();
        EXPECT_EQ(value("pragma integrity_check"), "ok");
        EXPECT_EQ(value("select count(*) from timedata"), "999");
        EXPECT_EQ(value("select count(*) from timedata where time1 is not null"), "0");
        EXPECT_EQ(value("select group_concat(name) from sqlite_schema where type='table'"),
                  "timedata,crosst");
    }
};

TEST_F(UnwritableStoreTest, ReadOnlyFileIsFoundAtStartUpAndTheOperatorToldWhatToDo) {
    install();
    FailingVfs vfs;
    vfs.openStoreReadOnly();
    const std::string text = refusal(vfs);
    EXPECT_NE(firstLine(text).find("読み取り専用"), std::string::npos) << text;
    EXPECT_NE(text.find("書き込みの権限"), std::string::npos) << text;
    EXPECT_NE(rest(text).find("readonly"), std::string::npos) << text;  // the engine's text
    expectInstallationUnchanged();
}

TEST_F(UnwritableStoreTest, FullDiskIsFoundAtStartUpByAWriteThatIsUndone) {
    install();
    FailingVfs vfs;
    vfs.failWrites();
    const std::string text = refusal(vfs);
    EXPECT_GT(vfs.failedWrites(), 0);
    EXPECT_NE(text.find("ディスクがいっぱい"), std::string::npos) << text;
    EXPECT_NE(text.find("空き"), std::string::npos) << text;
    EXPECT_NE(rest(text).find("database or disk is full"), std::string::npos) << text;
    expectInstallationUnchanged();
}

TEST_F(UnwritableStoreTest, FullDiskAtTheFirstStartLeavesNoHalfMadeInstallation) {
    FailingVfs vfs;
    vfs.failWrites(3);
    const std::string text = refusal(vfs);
    EXPECT_NE(text.find("ディスクがいっぱい"), std::string::npos) << text;
    vfs.heal();
    Database store(folder_, vfs.name());  // the next start, with room on the disk
    std::vector<Database::Row> rows;
    store.run("select count(*) from timedata", nullptr, &rows);
    EXPECT_EQ(rows.at(0).at(0), "999");
}

TEST_F(UnwritableStoreTest, StoreThatCannotBeOpenedIsNamedWithTheReason) {
    install();
    for (int kinds : {int(FailingVfs::kStoreFile), FailingVfs::kWal | FailingVfs::kJournal}) {
        SCOPED_TRACE(kinds);
        FailingVfs vfs;
        vfs.failOpens(0, kinds);
        const std::string text = refusal(vfs);
        EXPECT_GT(vfs.failedOpens(), 0);
        EXPECT_NE(text.find("開けません"), std::string::npos) << text;
        EXPECT_NE(text.find("データフォルダー"), std::string::npos) << text;  // what to check
        EXPECT_NE(rest(text).find("unable to open database file"), std::string::npos) << text;
    }
    expectInstallationUnchanged();
}

TEST_F(UnwritableStoreTest, StoreThatAnotherProgramIsWritingStillOpens) {
    install();
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file().string().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_NO_THROW(Database store(folder_));  // busy is not read-only
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
}

TEST_F(UnwritableStoreTest, WriteThatFailsLaterIsToldInJapaneseWithTheEnginesTextAfter) {
    install();
    FailingVfs vfs;
    Database store(folder_, vfs.name());
    TQuery Qedit(store, "Qedit");
    // Each time another value: a write of what is there already writes nothing.
    int second = 0;
    auto nextTime = [&] {
        Qedit.SQL().Clear();
        Qedit.SQL().Add("update timedata set time1='00:01:" + std::to_string(10 + second++) +
                        ".00' where bib='001'");
    };
    const struct {
        std::function<void()> fault;
        int code;
        const char* said;
        const char* engine;
    } cases[] = {
        {[&] { vfs.failWrites(); }, SQLITE_FULL, "ディスクがいっぱい", "database or disk is full"},
        {[&] { vfs.failSyncs(); }, SQLITE_IOERR, "ディスク", "disk I/O error"},
        {[&] { vfs.failWrites(0, SQLITE_IOERR_WRITE); }, SQLITE_IOERR, "ディスク",
         "disk I/O error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.engine);
        nextTime();
        c.fault();
        try {
            Qedit.ExecSQL();
            ADD_FAILURE() << "the write returned";
        } catch (const EDatabaseError& e) {
            const std::string text = e.what();
            EXPECT_EQ(e.code(), c.code);
            EXPECT_TRUE(e.writeFailed());
            EXPECT_NE(firstLine(text).find(c.said), std::string::npos) << text;
            EXPECT_EQ(rest(text).rfind(c.engine, 0), 0u) << text;
            EXPECT_NE(text.find("SQL: update timedata"), std::string::npos) << text;
        }
        vfs.heal();
        EXPECT_NO_THROW(Qedit.ExecSQL());  // the disk has room again
        std::vector<Database::Row> rows;
        store.run("select time1 from timedata where bib='001'", nullptr, &rows);
        EXPECT_EQ(rows.at(0).at(0), "00:01:" + std::to_string(10 + second - 1) + ".00");
    }
    // A statement that is wrong is no failure of the disk: its text stays as it was.
    Qedit.SQL().Clear();
    Qedit.SQL().Add("select * from nosuch");
    try {
        Qedit.Open();
        ADD_FAILURE() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_FALSE(e.writeFailed());
        EXPECT_EQ(std::string(e.what()), "no such table: nosuch\nSQL: select * from nosuch");
    }
}

// A result is what a timing line stores, in the order the cross-country routines store it:
// its time in timedata, then its pass row in crosst. A result that fails is taken again from
// its start, as the line that stays first in the queue is.
class StoreOnAFailingDiskTest : public UnwritableStoreTest {
  protected:
    static constexpr int kResults = 8;

    static void storeResult(Database& store, int n) {
        store.run("update timedata set time1='00:00:" + std::to_string(10 + n) +
                  ".00' where bib='" + formatBib(n) + "'");
        store.run("insert into crosst (uc, tm1, sumi) values ('" + std::to_string(n) + "', '" +
                  formatBib(n) + "', '0')");
    }

    // Stores the results with the fault armed after `after` calls. When one fails and goOn is
    // set, the disk gets room again and the same connection goes on with that result;
    // otherwise the console ends there, on the failing disk. Returns how many results had
    // returned as stored when the fault struck (kResults when it never did).
    int raceThrough(const std::function<void(FailingVfs&, int)>& arm, int after, bool goOn) {
        FailingVfs vfs;
        Database store(folder_, vfs.name());
        arm(vfs, after);
        for (int n = 1; n <= kResults; ++n) {
            try {
                storeResult(store, n);
            } catch (const EDatabaseError& e) {
                EXPECT_TRUE(e.writeFailed()) << e.what();
                if (!goOn) return n - 1;
                vfs.heal();
                for (int k = n; k <= kResults; ++k)
                    storeResult(store, k);
                return n - 1;
            }
        }
        return kResults;
    }

    // The results 1 to n are stored, in a sound file that a new connection reads.
    void expectStored(int n) {
        EXPECT_EQ(value("pragma integrity_check"), "ok");
        for (int k = 1; k <= n; ++k)
            EXPECT_EQ(value("select time1 || '/' || (select count(*) from crosst where uc=" +
                            std::to_string(k) + ") from timedata where bib='" + formatBib(k) + "'"),
                      "00:00:" + std::to_string(10 + k) + ".00/1")
                << "result " << k;
    }

    // Every result is stored once.
    void expectEveryResultOnce() {
        expectStored(kResults);
        EXPECT_EQ(value("select count(*) from timedata where time1 is not null"),
                  std::to_string(kResults));
        EXPECT_EQ(value("select count(*) from crosst"), std::to_string(kResults));
    }

    void restoreInstallation(const fs::path& installed) {
        db_.reset();
        for (const char* tail : {"", "-wal", "-shm"})
            fs::remove(file().string() + tail);
        fs::copy_file(installed, file());
    }

    // Runs the race for every number of calls after which the fault strikes, until it no
    // longer strikes, once going on when the disk has room again and once ending on the
    // failing disk; the fault struck before, between and after results.
    void sweep(const std::function<void(FailingVfs&, int)>& arm) {
        install();
        const fs::path installed = folder_.string() + ".installed";
        fs::copy_file(file(), installed, fs::copy_options::overwrite_existing);
        std::set<int> struckAfter;
        for (int after = 0; after < 500; ++after) {
            SCOPED_TRACE("fault after " + std::to_string(after) + " calls");
            restoreInstallation(installed);
            const int returned = raceThrough(arm, after, /*goOn=*/false);
            expectStored(returned);
            restoreInstallation(installed);
            EXPECT_EQ(raceThrough(arm, after, /*goOn=*/true), returned);
            expectEveryResultOnce();
            if (returned == kResults) break;
            struckAfter.insert(returned);
        }
        fs::remove(installed);
        EXPECT_TRUE(struckAfter.count(0));
        EXPECT_TRUE(struckAfter.count(kResults / 2));
        EXPECT_TRUE(struckAfter.count(kResults - 1));
    }
};

TEST_F(StoreOnAFailingDiskTest, DiskThatFillsAnywhereLosesNoResultThatReturned) {
    sweep([](FailingVfs& vfs, int after) { vfs.failWrites(after); });
}

TEST_F(StoreOnAFailingDiskTest, SyncThatFailsOnCommitLosesNothingAndStoresNothingTwice) {
    sweep([](FailingVfs& vfs, int after) { vfs.failSyncs(after); });
}

}  // namespace
}  // namespace qpane
