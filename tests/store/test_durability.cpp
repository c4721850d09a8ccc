#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <set>

#include "platform/convert.h"
#include "store/tableupdate.h"
#include "store_fixture.h"

namespace qpane {
namespace {

using testing::RecordingBoxes;
using testing::StoreTest;

// Reads the numbers a child wrote to the pipe until it ends or `enough` have come.
std::vector<int32_t> readNumbers(int fd, size_t enough) {
    std::vector<int32_t> numbers;
    int32_t n = 0;
    while (numbers.size() < enough && ::read(fd, &n, sizeof n) == static_cast<ssize_t>(sizeof n))
        numbers.push_back(n);
    return numbers;
}

class DurabilityTest : public StoreTest {
  protected:
    // Runs body in a child process with the write end of a pipe; returns the read end.
    int spawn(const std::function<void(int)>& body) {
        db_.reset();  // no connection crosses the fork
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        child_ = ::fork();
        if (child_ == 0) {
            ::close(fds[0]);
            body(fds[1]);
            ::_exit(0);
        }
        ::close(fds[1]);
        return fds[0];
    }
    void killChild() {
        ::kill(child_, SIGKILL);
        int status = 0;
        ::waitpid(child_, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status));
    }
    pid_t child_ = -1;
};

TEST_F(DurabilityTest, UpdatesThatReturnedSurviveSigkill) {
    db();  // the installation, made before the child starts
    int fd = spawn([this](int out) {
        Database store(folder_);
        TQuery Qedit(store, "Qedit");
        for (int32_t i = 1; i <= 999; ++i) {
            Qedit.SQL().Clear();
            Qedit.SQL().Add("update timedata set time1='" + std::to_string(i) + "'");
            Qedit.SQL().Add("where bib='" + formatBib(i) + "'");
            Qedit.ExecSQL();
            if (::write(out, &i, sizeof i) != sizeof i) ::_exit(1);
        }
        ::pause();
    });
    std::vector<int32_t> confirmed = readNumbers(fd, 150);
    killChild();
    for (int32_t n : readNumbers(fd, 999))
        confirmed.push_back(n);  // written before the kill
    ::close(fd);
    ASSERT_GE(confirmed.size(), 150u);
    ASSERT_LT(confirmed.size(), 999u) << "the kill came after the stream had ended";

    EXPECT_EQ(value("pragma integrity_check"), "ok");
    auto stored = rows("select bib, time1 from timedata where time1 is not null order by bib");
    ASSERT_GE(stored.size(), confirmed.size());
    for (size_t k = 0; k < confirmed.size(); ++k) {
        EXPECT_EQ(stored[k][0], formatBib(confirmed[k]));
        EXPECT_EQ(stored[k][1], std::to_string(confirmed[k]));
    }
    EXPECT_LE(stored.size(), confirmed.size() + 1);  // at most the one in flight
}

TEST_F(DurabilityTest, WritesAreSynchronousThroughAWriteAheadLog) {
    EXPECT_EQ(value("pragma synchronous"), "2");  // FULL: a commit is on the disk
    EXPECT_EQ(value("pragma journal_mode"), "wal");
}

TEST_F(DurabilityTest, KillDuringTheUpgradeLeavesTheTableAsItWasAndTheNextStartUpgrades) {
    db();
    int fd = spawn([this](int out) {
        // The child stops in the middle of the upgrade's commit: a temporary trigger calls a
        // function that tells the parent and then waits to be killed.
        Database store(folder_);
        auto tell = [](sqlite3_context* ctx, int, sqlite3_value**) {
            int fd = *static_cast<int*>(sqlite3_user_data(ctx));
            int32_t n = 1;
            if (::write(fd, &n, sizeof n) != sizeof n) ::_exit(1);
            ::pause();
        };
        sqlite3_create_function(store.handle(), "reached", 0, SQLITE_UTF8, &out, tell, nullptr,
                                nullptr);
        sqlite3_exec(store.handle(),
                     "CREATE TEMP TRIGGER stop AFTER INSERT ON main.timedata "
                     "WHEN NEW.rowid = 5000 BEGIN SELECT reached(); END",
                     nullptr, nullptr, nullptr);
        TQuery Qedit(store, "Qedit");
        RecordingBoxes boxes;
        tableupdate(Qedit, boxes);
    });
    ASSERT_EQ(readNumbers(fd, 1).size(), 1u);
    killChild();
    ::close(fd);

    EXPECT_EQ(value("pragma integrity_check"), "ok");
    EXPECT_EQ(value("select count(*) from pragma_table_info('timedata') where name='BLOCK'"), "0");
    EXPECT_EQ(value("select count(*) from timedata"), "999");
    EXPECT_EQ(value("select upv from tableupd"), "0");
    TQuery Qedit(db(), "Qedit");
    RecordingBoxes boxes;
    tableupdate(Qedit, boxes);
    EXPECT_TRUE(boxes.messages.empty());
    EXPECT_EQ(value("select count(*) from timedata"), "9990");
}

}  // namespace
}  // namespace qpane
