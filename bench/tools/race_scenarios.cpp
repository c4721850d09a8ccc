#include "race_scenarios.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <stdexcept>
#include <utility>

namespace qpane::bench {

namespace {

// A linear congruential generator of its own: the standard distributions differ between
// library implementations, and the scenarios must not.
class Dice {
  public:
    explicit Dice(uint64_t seed) : state_(seed) {}
    int between(int low, int high) {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return low + static_cast<int>((state_ >> 33) % static_cast<uint64_t>(high - low + 1));
    }

  private:
    uint64_t state_;
};

std::string clock(int centis) {
    char text[48];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%02d", centis / 360000, centis / 6000 % 60,
                  centis / 100 % 60, centis % 100);
    return text;
}

// One framed timing line: code, block, bib, time.
std::string timingLine(char code, int block, int bib, int centis) {
    char text[48];
    std::snprintf(text, sizeof text, "\\x02C%c%d%03d%s\\x03", code, block, bib,
                  clock(centis).c_str());
    return text;
}

// The lines in receptions of one to `most` lines, each followed by a wait of 1.5 s.
void receptions(std::string& out, const std::vector<std::string>& lines, Dice& dice, int most) {
    for (size_t i = 0; i < lines.size();) {
        const size_t n = static_cast<size_t>(dice.between(1, most));
        out += "rx COM1 \"";
        for (size_t k = i; k < std::min(lines.size(), i + n); ++k)
            out += lines[k];
        out += "\"\nwait 1500\n";
        i += n;
    }
}

constexpr const char* kHeader = "# Made by bench/tools/race_scenarios.cpp.\n";

}  // namespace

RaceScenario alpineFortyTwoRuns() {
    Dice dice(40);
    std::string s = kHeader;
    s += "ini Portno 1\nini Pinout 1\nini Portno2 2\nini Disppt 1\nstart\n"
         "sql \"update timedata set grp='1' where block='1' and bib between '001' and '020'\"\n"
         "sql \"update timedata set grp='2' where block='1' and bib between '021' and '040'\"\n"
         "click CuteButton3\n";
    std::map<int, int> run1;
    std::vector<std::string> lines;
    for (int bib = 1; bib <= 40; ++bib) {
        run1[bib] = dice.between(8000, 9200);
        lines.push_back(timingLine('1', 1, bib, run1[bib]));
    }
    receptions(s, lines, dice, 3);
    s += "dump field boardRows\ndump memo Memo3\n";
    std::vector<std::pair<int, int>> slowestFirst;
    for (const auto& [bib, time] : run1)
        slowestFirst.emplace_back(-time, bib);
    std::sort(slowestFirst.begin(), slowestFirst.end());
    lines.clear();
    for (const auto& [negTime, bib] : slowestFirst) {
        const int run2 = dice.between(8000, 9200);
        lines.push_back(timingLine('2', 1, bib, run2) + timingLine('T', 1, bib, run2 - negTime));
    }
    receptions(s, lines, dice, 2);
    s += "dump field boardRows\ndump memo Memo3\n"
         "dump sql \"select block,grp,bib,time1,time2,totalt from timedata where totalt<>'' "
         "order by block,grp,totalt,bib\"\n";
    return {"alpine_40_two_runs.scn", s};
}

RaceScenario crossSixtySixLaps() {
    Dice dice(60);
    std::string s = kHeader;
    s += "ini Portno 1\nini Pinout 1\nini Portno2 2\nini Disppt 11\nini WTime 1\n"
         "ini Scrolrow 3\nstart\n"
         "sql \"update timedata set grp='1' where block='0' and bib between '001' and '030'\"\n"
         "sql \"update timedata set grp='2' where block='0' and bib between '031' and '060'\"\n"
         "answer no no\nclick CuteButton3\nwait 1000\n";
    std::map<int, int> lapTime;
    for (int bib = 1; bib <= 60; ++bib)
        lapTime[bib] = dice.between(28000, 36000);
    constexpr int kStart = 100 * 60 * 10;     // the mass start at 00:10:00
    std::vector<std::pair<int, int>> passes;  // time, bib
    for (int lap = 1; lap <= 6; ++lap)
        for (int bib = 1; bib <= 60; ++bib)
            passes.emplace_back(kStart + lap * lapTime[bib] + dice.between(-300, 300), bib);
    std::sort(passes.begin(), passes.end());
    std::vector<std::string> lines;
    for (const auto& [at, bib] : passes)
        lines.push_back(timingLine('1', 0, bib, at));
    receptions(s, lines, dice, 4);
    // Long enough for the display to show the whole backlog, one pass a second.
    s += "wait " + std::to_string((passes.size() + 10) * 1100) + "\n";
    s += "dump sql \"select count(*),min(uc),max(uc) from crosst where sumi='1'\"\n"
         "dump sql \"select bib,grp,totalt,lap from timedata where totalt<>'' "
         "order by lap desc,totaltv,bib\"\n"
         "dump memo Memo3\n";
    return {"cross1_60_runners_6_laps.scn", s};
}

std::vector<std::filesystem::path> writeRaceScenarios(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    std::vector<std::filesystem::path> paths;
    for (const RaceScenario& race : {alpineFortyTwoRuns(), crossSixtySixLaps()}) {
        paths.push_back(folder / race.name);
        std::ofstream out(paths.back(), std::ios::binary);
        out << race.text;
        if (!out) throw std::runtime_error("cannot write " + paths.back().string());
    }
    return paths;
}

}  // namespace qpane::bench
