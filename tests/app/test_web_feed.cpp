// The live page of a replayed race: what /api/board and /api/ranking answer at its end, held
// against the race's own transcript (the lines that went to the board, the rows stored).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "http_probe.h"
#include "replay_session.h"
#include "scenario.h"

namespace qpane {
namespace {

namespace fs = std::filesystem;
using web::testing::Exchange;

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A race replayed with the live page on a free loopback port; the page stays up until the
// test ends.
class ReplayedRace : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "qpane-webfeed-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
    }
    void TearDown() override {
        session_.reset();
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    // Runs the scenario; returns its transcript.
    std::string replay(const std::string& scenarioText, const std::string& listen) {
        std::istringstream in(scenarioText);
        const auto actions = replay::parseScenario(in);
        session_ = std::make_unique<replay::ReplaySession>(root_, transcript_);
        session_->serveWeb(listen);
        session_->run(actions);
        const std::string address = session_->webAddress();
        std::smatch m;
        if (std::regex_search(address, m, std::regex(":([0-9]+)/$"))) port_ = std::stoi(m[1]);
        return transcript_.str();
    }
    std::string replayFile(const std::string& name) {
        return replay(readFile(fs::path(QPANE_SCENARIOS) / (name + ".scn")), "127.0.0.1:0");
    }
    std::string expected(const std::string& name) {
        return readFile(fs::path(QPANE_SCENARIOS) / (name + ".out"));
    }

    fs::path root_;
    std::ostringstream transcript_;
    std::unique_ptr<replay::ReplaySession> session_;
    int port_ = 0;
};

// Unescapes a transcript byte string ("A021 ...\r").
std::string transcriptBytes(const std::string& quoted) {
    std::string out;
    for (size_t i = 0; i < quoted.size(); ++i) {
        if (quoted[i] != '\\') {
            out += quoted[i];
            continue;
        }
        const char e = quoted[++i];
        if (e == 'r')
            out += '\r';
        else if (e == 'n')
            out += '\n';
        else if (e == 't')
            out += '\t';
        else if (e == 'x')
            out += static_cast<char>(std::stoi(quoted.substr(i + 1, 2), nullptr, 16)), i += 2;
        else
            out += e;
    }
    return out;
}

// The last line the transcript sent to each board row on port.
std::map<char, std::string> lastRows(const std::string& transcript, const std::string& port) {
    std::map<char, std::string> rows;
    std::istringstream in(transcript);
    std::string line;
    const std::regex tx("^[0-9]+ tx " + port + " \"(.*)\"$");
    std::smatch m;
    while (std::getline(in, line)) {
        if (!std::regex_match(line, m, tx)) continue;
        const std::string bytes = transcriptBytes(m[1]);
        const char first = bytes.empty() ? '\0' : bytes[0];
        if (first == 'l')
            rows['L'] = bytes;
        else if (first >= 'A' && first <= 'V' && first != 'L' && bytes.rfind("K    ", 0) != 0)
            rows[first] = bytes;
    }
    return rows;
}

// The JSON escape of bytes as the page gives them.
std::string jsonBytes(const std::string& bytes) {
    std::string out;
    for (char c : bytes) {
        if (c == '\r')
            out += "\\r";
        else if (c == '"')
            out += "\\\"";
        else
            out += c;
    }
    return out;
}

std::vector<std::string> bibsOf(const std::string& rankingJson) {
    std::vector<std::string> bibs;
    const std::regex bib("\"bib\":\"([0-9]{3})\"");
    for (auto it = std::sregex_iterator(rankingJson.begin(), rankingJson.end(), bib);
         it != std::sregex_iterator(); ++it)
        bibs.push_back((*it)[1]);
    return bibs;
}

TEST_F(ReplayedRace, AlpineBoardAndRankingAreWhatTheBoardWasSent) {
    const std::string name = "alpine/a1_race_direct_separate_port";
    const std::string transcript = replayFile(name);
    ASSERT_EQ(transcript, expected(name));  // the page changes nothing the console sends
    ASSERT_NE(port_, 0);
    const Exchange board = web::testing::get(port_, "/api/board");
    ASSERT_EQ(board.status(), 200);
    const auto rows = lastRows(transcript, "COM2");
    ASSERT_GE(rows.size(), 11u);
    for (const auto& [letter, bytes] : rows)
        EXPECT_NE(board.body().find("{\"row\":\"" + std::string(1, letter) + "\",\"bytes\":\"" +
                                    jsonBytes(bytes) + "\""),
                  std::string::npos)
            << "row " << letter << " " << bytes;
    // The last pass was bib 021 of block 2, group 1: rows C to M (no L) are its group's
    // ranking, best first; the ranking answer lists the same bibs in the same order.
    std::vector<std::string> shown;
    for (char r : std::string("CDEFGHIJKM"))
        shown.push_back(rows.at(r).substr(1, 3));
    const Exchange ranking = web::testing::get(port_, "/api/ranking?block=2&group=1");
    ASSERT_EQ(ranking.status(), 200);
    std::vector<std::string> ranked = bibsOf(ranking.body());
    ASSERT_GE(ranked.size(), shown.size());
    ranked.resize(shown.size());
    EXPECT_EQ(ranked, shown);
    EXPECT_NE(
        ranking.body().find(
            R"({"rank":"1","bib":"022","run1":"1:35.60","run2":"1:36.86","total":"3:12.46",)"),
        std::string::npos)
        << ranking.body();
    EXPECT_NE(ranking.body().find(R"({"rank":"1","bib":"024",)"), std::string::npos);  // a tie
}

TEST_F(ReplayedRace, CrossBoardAndRankingFollowThePassesStored) {
    const std::string name = "cross/race_cross2";
    const std::string transcript = replayFile(name);
    ASSERT_EQ(transcript, expected(name));
    const Exchange board = web::testing::get(port_, "/api/board");
    ASSERT_EQ(board.status(), 200);
    for (const auto& [letter, bytes] : lastRows(transcript, "COM2"))
        EXPECT_NE(board.body().find("{\"row\":\"" + std::string(1, letter) + "\",\"bytes\":\"" +
                                    jsonBytes(bytes) + "\""),
                  std::string::npos)
            << "row " << letter;
    EXPECT_NE(board.body().find(R"("discipline":"cross")"), std::string::npos);
    // The stored rows of block 0, group 1 (the transcript's dump), ranked by their pass time.
    std::vector<std::pair<std::string, std::string>> stored;  // time1, bib
    const std::regex row(R"re(^  \| "([0-9]{3})" "0" "1" "([0-9:.]+)")re");
    std::istringstream in(transcript);
    std::string line;
    std::smatch m;
    while (std::getline(in, line))
        if (std::regex_search(line, m, row)) stored.emplace_back(m[2], m[1]);
    ASSERT_GE(stored.size(), 3u);
    std::sort(stored.begin(), stored.end());
    const Exchange ranking = web::testing::get(port_, "/api/ranking?block=0&group=1");
    ASSERT_EQ(ranking.status(), 200);
    std::vector<std::string> ranked = bibsOf(ranking.body());
    ASSERT_GE(ranked.size(), stored.size());
    for (size_t i = 0; i < stored.size(); ++i)
        EXPECT_EQ(ranked[i], stored[i].second) << i;
}

TEST_F(ReplayedRace, TheSettingsFileSwitchesThePageOnAndKeepsItsLine) {
    const std::string scenario =
        "iniraw \"[Boad]\\r\\nPortno=1\\r\\n[Web]\\r\\nListen=127.0.0.1:0\\r\\n; kept\\r\\n\"\n"
        "start\nclose\n";
    replay(scenario, "");
    EXPECT_NE(port_, 0);
    EXPECT_EQ(web::testing::get(port_, "/api/board").status(), 200);
    const std::string ini = readFile(root_ / "Program Files/PORLEX/Alpine/Qcontrol.ini");
    EXPECT_NE(ini.find("[Web]\r\nListen=127.0.0.1:0\r\n; kept\r\n"), std::string::npos) << ini;
}

TEST_F(ReplayedRace, ABadListenValueIsToldAndTheRaceRunsOn) {
    const std::string name = "alpine/a1_race_direct_separate_port";
    std::string scenario = readFile(fs::path(QPANE_SCENARIOS) / (name + ".scn"));
    ::testing::internal::CaptureStderr();
    std::istringstream in(scenario);
    const auto actions = replay::parseScenario(in);
    session_ = std::make_unique<replay::ReplaySession>(root_, transcript_);
    session_->serveWeb("127.0.0.1:99999");
    session_->run(actions);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Listen=127.0.0.1:99999"), std::string::npos) << err;
    EXPECT_EQ(session_->webAddress(), "");
    EXPECT_EQ(transcript_.str(), expected(name));
}

TEST_F(ReplayedRace, NoSettingNoPage) {
    replay("start\nclose\n", "");
    EXPECT_EQ(session_->webAddress(), "");
}

}  // namespace
}  // namespace qpane
