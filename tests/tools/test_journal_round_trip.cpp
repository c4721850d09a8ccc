// The traffic journal of a race, turned into a scenario and replayed, sends the same board
// lines again.
#include <gtest/gtest.h>

#include <fstream>
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

TEST(TrafficJournal, RaceReplayedFromItsJournalSendsTheSameBoardLines) {
    WindowHarness h({{"Portno", "1"}, {"Pinout", "1"}, {"Portno2", "2"}, {"Disppt", "3"}});
    TrafficJournal journal(h.root() / "journal", h.scheduler());
    h.w().CommX1.setTrace(&journal);
    h.w().CommX2.setTrace(&journal);
    h.sql("update timedata set grp='1' where block='1' and bib>='001' and bib<='020'");
    h.start();
    journal.beginSession(readFile(h.w().paths().settingsFolder() / "Qcontrol.ini"), h.w().Db1);
    h.apply();
    h.rx(1,
         "\x02"
         "C1101200:01:23.45\x03");
    h.wait(700);
    h.rx(1,
         "\x02"
         "C1101300:01:22.10\x03\x02"
         "C1101400:01:");
    h.wait(200);
    h.rx(1, "30.00\x03");
    h.wait(3000);
    h.w().CommX1.setTrace(nullptr);
    h.w().CommX2.setTrace(nullptr);
    journal.flush();
    const std::string text = readFile(journal.file());
    ASSERT_NE(text.find(" rx COM1 \"30.00\\x03\""), std::string::npos) << text;
    const std::vector<std::string> sent = txRecords(text);
    ASSERT_GE(sent.size(), 10u);

    std::istringstream in(text);
    std::ostringstream scenario;
    replay::journalToScenario(in, scenario);
    std::istringstream scenarioIn(scenario.str());
    const auto actions = replay::parseScenario(scenarioIn);

    const fs::path root = h.root() / "replayed";
    fs::create_directories(root);
    std::ostringstream transcript;
    {
        replay::ReplaySession session(root, transcript);
        session.run(actions);
    }
    EXPECT_EQ(txRecords(transcript.str()), sent) << scenario.str();
}

TEST(TrafficJournal, FileOverItsSizeMovesAsideAndTheNewOneStartsWithTheSession) {
    WindowHarness h({{"Portno", "1"}, {"Disppt", "7"}});
    const fs::path folder = h.root() / "journal";
    TrafficJournal journal(folder, h.scheduler(), /*maxBytes=*/2000, /*generations=*/2);
    h.w().CommX1.setTrace(&journal);
    h.start();
    journal.beginSession("[Boad]\r\nPortno=1\r\n", h.w().Db1);
    h.apply();
    for (int i = 0; i < 100; ++i) {
        h.rx(1,
             "\x02"
             "C1101200:01:23.45\x03");
        h.scheduler().runPosted();
    }
    h.w().CommX1.setTrace(nullptr);
    journal.flush();
    EXPECT_TRUE(fs::exists(folder / "traffic.1.journal"));
    EXPECT_TRUE(fs::exists(folder / "traffic.2.journal"));
    EXPECT_FALSE(fs::exists(folder / "traffic.3.journal"));
    const std::string current = readFile(journal.file());
    EXPECT_LE(current.size(), 2100u);
    EXPECT_NE(current.find(" session \"[Boad]\\r\\nPortno=1\\r\\n\""), std::string::npos);
    // One record per receive event, not per byte.
    EXPECT_NE(current.find(" rx COM1 \"\\x02C1101200:01:23.45\\x03\""), std::string::npos);
}

TEST(TrafficJournal, StoreSnapshotRestoresGroupsAndTimes) {
    WindowHarness h;
    h.start();
    h.sql("update timedata set grp='4',time1='00:01:02.03' where bib='010' and block='2'");
    h.sql("update timedata set grp='5' where bib='011' and block='0'");
    const auto statements = storedResultStatements(h.w().Db1);
    ASSERT_EQ(statements.size(), 2u);
    EXPECT_EQ(statements[0],
              "update timedata set grp='5',time1='',time2='',totalt='',totaltv='',lap='' where "
              "bib='011' and block='0'");
    EXPECT_EQ(statements[1],
              "update timedata set grp='4',time1='00:01:02.03',time2='',totalt='',totaltv='',"
              "lap='' where bib='010' and block='2'");
}

TEST(JournalToScenario, UnknownRecordIsRefusedWithItsLine) {
    std::istringstream in("2026-01-01T00:00:00.000 0 session \"\"\n2026 5 teleport COM1\n");
    std::ostringstream out;
    try {
        replay::journalToScenario(in, out);
        FAIL() << "no error";
    } catch (const replay::ScenarioError& e) {
        EXPECT_EQ(std::string(e.what()).substr(0, 7), "line 2:");
    }
}

}  // namespace
}  // namespace qpane::testing
