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

// A race where the operator answers 実行's questions, corrects a time on the maintenance page,
// assigns a group, resets a block and changes the pattern: the journal holds each action as a
// record of its own, and its scenario does them again, to the same board lines.
TEST(TrafficJournal, OperatorActionsReplayFromTheJournalToTheSameBoardLines) {
    WindowHarness h({{"Portno", "1"}, {"Pinout", "1"}, {"Portno2", "2"}, {"Disppt", "3"}});
    TrafficJournal journal(h.root() / "journal", h.scheduler());
    h.w().CommX1.setTrace(&journal);
    h.w().CommX2.setTrace(&journal);
    h.w().operatorTrace = &journal;
    h.sql("update timedata set grp='1' where block='1' and bib>='001' and bib<='020'");
    h.sql(
        "update timedata set time1='00:09:00.00',time2='00:09:00.00' where bib='005' and "
        "block='1'");
    h.start();
    journal.beginSession(readFile(h.w().paths().settingsFolder() / "Qcontrol.ini"), h.w().Db1);
    h.wait(1000);
    h.boxes().answers = {true, true, false};  // run 2 deleted, run 1 kept
    h.apply();
    auto arrive = [&](const char* bytes, int64_t then) {
        h.rx(1, bytes);
        h.wait(then);
    };
    arrive(
        "\x02"
        "C1101200:01:23.45\x03",
        700);
    arrive(
        "\x02"
        "C1101300:01:22.10\x03",
        900);
    // Bib 012 was timed wrongly: the operator corrects run 1 in block 1.
    h.act([&] { h.w().showPage(h.w().TabSheet4); });
    h.act([&] { h.w().SpE2.SetText("1"); });
    h.act([&] { h.w().Edit2.SetText("012"); });
    h.act([&] { h.w().ME1.typeText("00:01:20.00"); });
    h.act([&] { h.w().ME2.typeText("00:00:00.00"); });
    h.act([&] { h.w().CuteButton4Click(); });
    h.wait(400);
    arrive(
        "\x02"
        "C1101400:01:21.00\x03",
        1200);
    // Bibs 021 to 030 of block 1 become group 2.
    h.act([&] { h.w().SPE.SetText("1"); });
    h.act([&] { h.w().SpEgr.SetText("2"); });
    h.act([&] { h.w().SpEs.SetText("21"); });
    h.act([&] { h.w().SpEe.SetText("30"); });
    h.act([&] { h.w().CuteButton6Click(); });
    h.wait(300);
    arrive(
        "\x02"
        "C1102500:01:30.00\x03",
        1000);
    arrive(
        "\x02"
        "C1102600:01:29.00\x03",
        1000);
    h.act([&] { h.w().ImgA2.OnClick(); });
    h.wait(300);
    arrive(
        "\x02"
        "C1101500:01:25.00\x03",
        1500);
    h.act([&] { h.w().SPE.SetText("2"); });
    h.act([&] { h.w().CuteButton7Click(); });
    arrive(
        "\x02"
        "C1101600:01:26.00\x03",
        3000);
    h.w().operatorTrace = nullptr;
    h.w().CommX1.setTrace(nullptr);
    h.w().CommX2.setTrace(nullptr);
    journal.flush();
    EXPECT_TRUE(h.boxes().errors.empty()) << h.boxes().errors[0];

    const std::string text = readFile(journal.file());
    for (const char* record :
         {" apply \"3900\" \"yes\" \"yes\" \"no\"\n",
          " correct \"012\" \"1\" \"00:01:23.45\" \"\" \"00:01:20.00\" \"00:00:00.00\"\n",
          " group \"1\" \"2\" \"21\" \"30\"\n", " pattern \"ImgA2\"\n", " reset \"2\"\n"})
        EXPECT_NE(text.find(record), std::string::npos) << record << " in\n" << text;
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
    EXPECT_EQ(txRecords(transcript.str()), sent) << scenario.str() << transcript.str();
    EXPECT_EQ(transcript.str().find("refused"), std::string::npos) << transcript.str();

    // A journal from before these records (the 実行 recorded as opens only) still replays.
    std::string old;
    std::istringstream oldIn(text);
    for (std::string line; std::getline(oldIn, line);) {
        const size_t kind = line.find(' ', line.find(' ') + 1) + 1;
        const std::string k = line.substr(kind, line.find(' ', kind) - kind);
        if (k == "apply" || k == "correct" || k == "group" || k == "pattern" || k == "reset")
            continue;
        old += line + "\n";
    }
    std::istringstream oldJournal(old);
    std::ostringstream oldScenario;
    replay::journalToScenario(oldJournal, oldScenario);
    EXPECT_NE(oldScenario.str().find("answer no no no no no no\nclick CuteButton3\n"),
              std::string::npos)
        << oldScenario.str();
}

TEST(JournalToScenario, OperatorRecordsBecomeTheControlsTheyUsed) {
    std::istringstream in(
        "w 0 session \"[Boad]\\r\\n\"\n"
        "w 500 open COM1 9600 7 O 1 none\n"
        "w 600 apply \"100\" \"no\" \"yes\" \"yes\"\n"
        "w 900 correct \"012\" \"1\" \"00:01:23.45\" \"\" \"00:01:20.00\" \"00:00:00.00\"\n"
        "w 950 resetall\n"
        "w 1000 pattern \"ImgC1\"\n");
    std::ostringstream out;
    replay::journalToScenario(in, out);
    EXPECT_EQ(
        out.str(),
        "# Made from a traffic journal by qpane-replay --journal.\n"
        "iniraw \"[Boad]\\r\\n\"\n"
        "start\n"
        "wait 100\n"
        "answer no yes yes\n"
        "click CuteButton3\n"
        "wait 300\n"
        "click TabSheet4\n"
        "set SpE2 \"1\"\nset Edit2 \"012\"\nset ME1 \"00:01:20.00\"\nset ME2 \"00:00:00.00\"\n"
        "click CuteButton4\n"
        "wait 50\n"
        "click CuteButton9\n"
        "wait 50\n"
        "click ImgC1\n"
        "wait 5000\n");
    std::istringstream cut("w 0 session \"\"\nw 5 group \"1\" \"2\"\n");
    try {
        replay::journalToScenario(cut, out);
        FAIL() << "no error";
    } catch (const replay::ScenarioError& e) {
        EXPECT_EQ(std::string(e.what()).substr(0, 7), "line 2:");
    }
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
