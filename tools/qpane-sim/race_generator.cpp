#include "race_generator.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace qpane::sim {

namespace {

struct Finish {
    int bib;
    int64_t time;
};

void addLine(Race& race, int64_t delay, std::string line) {
    race.lines.push_back({delay, std::move(line)});
}

Race alpineRace(const RacePlan& plan, std::mt19937& random) {
    std::uniform_int_distribution<int64_t> run1(8000, 9000);  // 1:20.00 to 1:30.00
    std::uniform_int_distribution<int64_t> run2(7800, 8800);
    Race race;
    std::vector<Finish> first;
    for (int i = 0; i < plan.competitors; ++i) {
        const Finish f{plan.firstBib + i, run1(random)};
        first.push_back(f);
        addLine(race, race.lines.empty() ? plan.firstDelayMs : plan.gapMs,
                timingLine('1', plan.block, f.bib, f.time));
    }
    if (plan.runs < 2) return race;
    // The second run starts with the slowest of the first.
    std::vector<Finish> order = first;
    std::stable_sort(order.begin(), order.end(),
                     [](const Finish& a, const Finish& b) { return a.time > b.time; });
    for (const Finish& f : order) {
        const int64_t second = run2(random);
        addLine(race, plan.gapMs, timingLine('2', plan.block, f.bib, second));
        addLine(race, 0, timingLine('T', plan.block, f.bib, f.time + second));
    }
    return race;
}

Race crossRace(const RacePlan& plan, std::mt19937& random) {
    std::uniform_int_distribution<int64_t> lap(27000, 33000);  // 4:30.00 to 5:30.00
    struct Pass {
        int64_t clock;  // since the first start
        int bib;
        int64_t own;  // since the competitor's start
    };
    std::vector<Pass> passes;
    for (int i = 0; i < plan.competitors; ++i) {
        const int64_t start = 3000LL * i;
        int64_t own = 0;
        for (int l = 0; l < std::max(plan.runs, 1); ++l) {
            own += lap(random);
            passes.push_back({start + own, plan.firstBib + i, own});
        }
    }
    std::stable_sort(passes.begin(), passes.end(),
                     [](const Pass& a, const Pass& b) { return a.clock < b.clock; });
    Race race;
    for (const Pass& p : passes)
        addLine(race, race.lines.empty() ? plan.firstDelayMs : plan.gapMs,
                timingLine('1', plan.block, p.bib, p.own));
    return race;
}

}  // namespace

Race generateRace(const RacePlan& plan) {
    std::mt19937 random(plan.seed);
    return plan.kind == RaceKind::Alpine ? alpineRace(plan, random) : crossRace(plan, random);
}

std::string timeText(int64_t hundredths) {
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%02lld",
                  static_cast<long long>(hundredths / 360000 % 100),
                  static_cast<long long>(hundredths / 6000 % 60),
                  static_cast<long long>(hundredths / 100 % 60),
                  static_cast<long long>(hundredths % 100));
    return text;
}

std::string timingLine(char code, char block, int bib, int64_t hundredths) {
    char number[8];
    std::snprintf(number, sizeof number, "%03d", bib % 1000);
    return std::string("C") + code + block + number + timeText(hundredths);
}

}  // namespace qpane::sim
