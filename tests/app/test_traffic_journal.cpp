// The traffic journal on a disk that fails: the failure is told once, the race goes on, and
// once the disk takes records again the journal comes back in a file that replays alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>

#include "app/traffic_journal.h"
#include "journal_to_scenario.h"
#include "replay_session.h"
#include "scenario.h"
#include "window_harness.h"

namespace qpane::testing {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The board lines of a text in journal or transcript form: every "tx COMn "..."" record.
std::vector<std::string> txRecords(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const size_t at = line.find(" tx COM");
        if (at != std::string::npos) out.push_back(line.substr(at + 1));
    }
    return out;
}

// The transcript of a journal file replayed by qpane-replay --journal on a fresh root.
std::string replayed(const fs::path& journal, const fs::path& root) {
    std::istringstream in(readFile(journal));
    std::ostringstream scenario;
    replay::journalToScenario(in, scenario);
    std::istringstream scenarioIn(scenario.str());
    const auto actions = replay::parseScenario(scenarioIn);
    fs::create_directories(root);
    std::ostringstream transcript;
    replay::ReplaySession session(root, transcript);
    session.run(actions);
    return transcript.str();
}

// The board lines of the journal file are the last board lines its replay sends ("実行" in
// the replay may send more before them).
void expectReplaysItsBoardLines(const fs::path& journal, const fs::path& root) {
    const std::vector<std::string> sent = txRecords(readFile(journal));
    ASSERT_FALSE(sent.empty()) << readFile(journal);
    const std::vector<std::string> again = txRecords(replayed(journal, root));
    ASSERT_GE(again.size(), sent.size());
    EXPECT_TRUE(std::equal(sent.begin(), sent.end(), again.end() - sent.size()))
        << readFile(journal);
}

// A disk that has room for so many bytes more, then refuses every write (ENOSPC); a write
// that does not fit goes out in part, as a real disk that fills does it.
class FillingDisk : public JournalFile {
  public:
    std::optional<size_t> room;  // none: room enough
    int refused = 0;             // writes that found no room

  protected:
    long writeSome(int fd, const char* data, size_t size) override {
        if (!room) return JournalFile::writeSome(fd, data, size);
        if (*room == 0) {
            ++refused;
            errno = ENOSPC;
            return -1;
        }
        const size_t n = std::min(size, *room);
        *room -= n;
        return JournalFile::writeSome(fd, data, n);
    }
};

// ALPINE-1 on separate ports, direct, with a group in block 1: every timing line brings
// board rows. The journal watches both ports, and the failures it reports are kept.
struct Race {
    WindowHarness h{{"Portno", "1"}, {"Pinout", "1"}, {"Portno2", "2"}, {"Disppt", "1"}};
    std::unique_ptr<TrafficJournal> journal;
    std::vector<std::string> reports;
    int bib = 1;

    Race() { h.sql("update timedata set grp='1' where block='1' and bib>='001' and bib<='010'"); }
    ~Race() {
        h.w().CommX1.setTrace(nullptr);
        h.w().CommX2.setTrace(nullptr);
    }

    TrafficJournal& begin(const fs::path& folder, uint64_t maxBytes = 8u << 20, int generations = 4,
                          std::unique_ptr<JournalFile> out = nullptr) {
        journal = std::make_unique<TrafficJournal>(folder, h.scheduler(), maxBytes, generations,
                                                   std::move(out));
        journal->setFailureReport([this](const std::string& text) { reports.push_back(text); });
        h.w().CommX1.setTrace(journal.get());
        h.w().CommX2.setTrace(journal.get());
        h.start();
        journal->beginSession(readFile(h.w().paths().settingsFolder() / "Qcontrol.ini"), h.w().Db1);
        h.apply();
        return *journal;
    }
    // A finisher of run 1; the processing cycle takes the line and the board gets its rows.
    void finisher() {
        char line[32];
        std::snprintf(line, sizeof line,
                      "\x02"
                      "C11%03d00:01:%02d.00\x03",
                      bib, 10 + bib % 50);
        ++bib;
        h.hub().clearWritten(2);
        h.rx(1, line);
        h.wait(1500);
    }
    bool boardGotRows() { return h.hub().written(2).find('\r') != std::string::npos; }
};

TEST(TrafficJournalFailure, FullDeviceIsToldOnceAndTheJournalComesBackWhenTheDiskTakesRecords) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    Race race;
    const fs::path folder = race.h.root() / "journal";
    fs::create_directories(folder);
    const fs::path file = folder / TrafficJournal::kFileName;
    fs::create_symlink("/dev/full", file);
    // Small files: a journal that counted the device's size, or its own records that never
    // reached it, would soon move the link aside and write past the full disk.
    TrafficJournal& journal = race.begin(folder, /*maxBytes=*/6000, /*generations=*/2);
    for (int i = 0; i < 5; ++i) {
        race.finisher();
        EXPECT_TRUE(race.boardGotRows()) << "the race stopped";
    }
    ASSERT_EQ(race.reports.size(), 1u);
    EXPECT_EQ(race.reports[0], TrafficJournal::failureText(file, std::strerror(ENOSPC)));
    EXPECT_TRUE(race.h.boxes().errors.empty());  // the core's report is not involved
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_FALSE(fs::exists(folder / "traffic.1.journal"));

    // The operator makes room: the journal is a file of the disk again.
    fs::remove(file);
    for (int i = 0; i < 3; ++i)
        race.finisher();
    journal.flush();
    EXPECT_EQ(race.reports.size(), 1u);
    EXPECT_FALSE(fs::is_symlink(file));
    const std::string text = readFile(file);
    // It starts with the session, the results stored by then and the ports open then.
    EXPECT_NE(text.find(" session \"[Boad]"), std::string::npos) << text;
    EXPECT_NE(text.find(" store \"update timedata set grp='1',time1='00:01:15.00'"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(" open COM1 "), std::string::npos) << text;
    EXPECT_NE(text.find(" open COM2 "), std::string::npos) << text;
    EXPECT_NE(text.find(" records missing\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" rx COM1 \"\\x02C11008"), std::string::npos) << text;
    EXPECT_EQ(text.find(" rx COM1 \"\\x02C11005"), std::string::npos) << text;
    expectReplaysItsBoardLines(file, race.h.root() / "replayed");
}

TEST(TrafficJournalFailure,
     DiskThatFillsMidRecordKeepsWholeRecordsAndIsToldAgainOnlyAfterItWorked) {
    Race race;
    const fs::path folder = race.h.root() / "journal";
    auto disk = std::make_unique<FillingDisk>();
    FillingDisk& d = *disk;
    TrafficJournal& journal = race.begin(folder, 8u << 20, 4, std::move(disk));
    race.finisher();
    race.finisher();
    EXPECT_TRUE(race.reports.empty());

    d.room = 25;  // part of the next record, then nothing
    for (int i = 0; i < 4; ++i) {
        race.finisher();
        EXPECT_TRUE(race.boardGotRows()) << "the race stopped";
    }
    ASSERT_EQ(race.reports.size(), 1u);
    EXPECT_NE(race.reports[0].find(std::strerror(ENOSPC)), std::string::npos);
    // Six seconds of a race that sends dozens of board lines: tried once a second.
    EXPECT_GE(d.refused, 4);
    EXPECT_LE(d.refused, 7);
    EXPECT_NE(race.reports[0].find(journal.file().string()), std::string::npos);

    d.room.reset();
    race.finisher();
    race.finisher();
    journal.flush();
    EXPECT_EQ(race.reports.size(), 1u);
    // What was written before the failure moved aside, ending with a whole record; the journal
    // went on in a new file.
    const fs::path before = folder / "traffic.1.journal";
    const std::string old = readFile(before);
    ASSERT_FALSE(old.empty());
    EXPECT_EQ(old.back(), '\n');
    EXPECT_NE(old.find(" rx COM1 \"\\x02C11002"), std::string::npos) << old;
    EXPECT_NO_THROW(replayed(before, race.h.root() / "replayed-before"));
    const std::string now = readFile(journal.file());
    EXPECT_NE(now.find(" rx COM1 \"\\x02C11007"), std::string::npos) << now;
    expectReplaysItsBoardLines(journal.file(), race.h.root() / "replayed");

    // It worked again: a new failure is told again, once.
    d.room = 0;
    race.finisher();
    race.finisher();
    EXPECT_EQ(race.reports.size(), 2u);
}

TEST(TrafficJournalFailure, FileThatCannotBeOpenedIsToldAtTheSessionAndTheRaceGoesOn) {
    Race race;
    const fs::path folder = race.h.root() / "journal";
    // Where the journal belongs there is a folder.
    fs::create_directories(folder / TrafficJournal::kFileName);
    TrafficJournal& journal = race.begin(folder);
    ASSERT_EQ(race.reports.size(), 1u);
    EXPECT_EQ(race.reports[0], TrafficJournal::failureText(journal.file(), std::strerror(EISDIR)));
    race.finisher();
    race.finisher();
    EXPECT_TRUE(race.boardGotRows());
    journal.flush();
    EXPECT_EQ(race.reports.size(), 1u);
    EXPECT_TRUE(fs::is_directory(journal.file()));
}

}  // namespace
}  // namespace qpane::testing
