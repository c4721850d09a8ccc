// Race files, the generated races and the command line of qpane-sim.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "race.h"
#include "race_generator.h"
#include "sim_options.h"
#include "temp_folder.h"

namespace qpane::sim {
namespace {

Race read(const std::string& text) {
    std::istringstream in(text);
    return readRace(in, "race.txt");
}

std::string errorOf(const std::string& text) {
    try {
        read(text);
    } catch (const RaceFileError& e) {
        return e.what();
    }
    return "no error";
}

TEST(RaceFile, ReadsDelaysAndLinesAsTheyStand) {
    const Race race = read(
        "# two lines\r\n"
        "1500 C1000100:01:23.45\r\n"
        "\n"
        "  0 C1000200:01:23.4 \n"
        "250 \"\\x02C1'0300:00:59.00\\t\\\"\"\n");
    ASSERT_EQ(race.lines.size(), 3u);
    EXPECT_EQ(race.lines[0].delayMs, 1500);
    EXPECT_EQ(race.lines[0].line, "C1000100:01:23.45");
    EXPECT_EQ(race.lines[1].line, "C1000200:01:23.4 ") << "a tenths device's trailing blank";
    EXPECT_EQ(race.lines[2].line,
              "\x02"
              "C1'0300:00:59.00\t\"");
    EXPECT_EQ(race.lengthMs(), 1750);
}

TEST(RaceFile, BrokenLinesAreNamedWithFileAndLine) {
    EXPECT_EQ(errorOf("10 C1\nabc C1\n"),
              "race.txt:2: \"abc\" is not a delay in milliseconds (0 to 86400000)");
    EXPECT_EQ(errorOf("-5 C1\n"),
              "race.txt:1: \"-5\" is not a delay in milliseconds (0 to 86400000)");
    EXPECT_EQ(errorOf("#\n100\n"), "race.txt:2: a delay without a timing line");
    EXPECT_EQ(errorOf("100 \"C1\n"), "race.txt:1: unfinished quoted string");
    EXPECT_EQ(errorOf("100 \"C1\\q\"\n"), "race.txt:1: unknown escape \\q");
    EXPECT_EQ(errorOf("100 \"C1\" x\n"), "race.txt:1: text after the quoted timing line");
    EXPECT_EQ(errorOf("100 \"\"\n"), "race.txt:1: an empty timing line");
}

TEST(RaceFile, WrittenRaceReadsBackTheSame) {
    Race race;
    race.lines = {{2000, "C1000100:01:23.45"}, {0, "C1000200:01:23.4 "}, {5, " \x02\xC1@\r"}};
    const Race back = read(writeRace(race));
    ASSERT_EQ(back.lines.size(), race.lines.size());
    for (size_t i = 0; i < race.lines.size(); ++i) {
        EXPECT_EQ(back.lines[i].delayMs, race.lines[i].delayMs);
        EXPECT_EQ(back.lines[i].line, race.lines[i].line);
    }
}

TEST(RaceGenerator, AlpineRunTwoComesSlowestFirstWithTotalsOfBothRuns) {
    RacePlan plan;
    plan.competitors = 5;
    plan.seed = 3;
    const Race race = generateRace(plan);
    ASSERT_EQ(race.lines.size(), 15u);
    EXPECT_EQ(race.lines[0].delayMs, plan.firstDelayMs);
    std::map<std::string, std::string> run1;
    for (size_t i = 0; i < 5; ++i) {
        const std::string& l = race.lines[i].line;
        ASSERT_EQ(l.size(), 17u);
        EXPECT_EQ(l.substr(0, 3), "C10");
        run1[l.substr(3, 3)] = l.substr(6);
    }
    std::string previous = "99";
    for (size_t i = 5; i < race.lines.size(); i += 2) {
        const std::string& second = race.lines[i].line;
        const std::string& total = race.lines[i + 1].line;
        EXPECT_EQ(second.substr(0, 3), "C20");
        EXPECT_EQ(total.substr(0, 3), "CT0");
        EXPECT_EQ(race.lines[i + 1].delayMs, 0) << "the total comes with the run-2 time";
        const std::string bib = second.substr(3, 3);
        EXPECT_EQ(total.substr(3, 3), bib);
        EXPECT_LE(run1[bib], previous);
        previous = run1[bib];
        const auto hundredths = [](const std::string& t) {
            return std::stoll(t.substr(3, 2)) * 6000 + std::stoll(t.substr(6, 2)) * 100 +
                   std::stoll(t.substr(9, 2));
        };
        EXPECT_EQ(hundredths(total.substr(6)),
                  hundredths(run1[bib]) + hundredths(second.substr(6)));
    }
    EXPECT_EQ(writeRace(generateRace(plan)), writeRace(race)) << "a seed repeats the race";
    plan.seed = 4;
    EXPECT_NE(writeRace(generateRace(plan)), writeRace(race));
}

TEST(RaceGenerator, CrossCountryPassesOfEachCompetitorGrowAndComeInTheirOrder) {
    RacePlan plan;
    plan.kind = RaceKind::Cross;
    plan.competitors = 4;
    plan.runs = 3;
    plan.block = '2';
    const Race race = generateRace(plan);
    ASSERT_EQ(race.lines.size(), 12u);
    std::map<std::string, std::string> last;
    for (const RaceLine& l : race.lines) {
        EXPECT_EQ(l.line.substr(0, 3), "C12");
        const std::string bib = l.line.substr(3, 3);
        EXPECT_GT(l.line.substr(6), last[bib]);
        last[bib] = l.line.substr(6);
    }
    EXPECT_EQ(timeText(502567), "01:23:45.67");
    EXPECT_EQ(timingLine('T', '9', 7, 8345), "CT900700:01:23.45");
}

TEST(SimOptions, WrongValuesAreNamed) {
    auto errorOf = [](std::vector<std::string> args) -> std::string {
        try {
            parseOptions(args);
        } catch (const OptionError& e) {
            return e.what();
        }
        return "no error";
    };
    EXPECT_EQ(errorOf({"--data-bits", "9"}),
              "--data-bits: \"9\" is not a whole number from 7 to 8");
    EXPECT_EQ(errorOf({"--mode", "polled"}), "--mode: \"polled\" is none of direct, buffered");
    EXPECT_EQ(errorOf({"--bit-rate", "9601"}),
              "--bit-rate: 9601 is not a bit rate of a serial port");
    EXPECT_EQ(errorOf({"--parity-errors", "1.5"}),
              "--parity-errors: \"1.5\" is not a share from 0 to 1");
    EXPECT_EQ(errorOf({"--race"}), "--race needs a value");
    EXPECT_EQ(errorOf({"--fast"}), "unknown option --fast (qpane-sim --help lists them)");

    const SimOptions o = parseOptions({"--mode", "buffered", "--kind", "cross", "--block", "3",
                                       "--board-port", "1", "--line-end", "at"});
    EXPECT_EQ(o.config.mode, DeviceMode::Buffered);
    EXPECT_EQ(o.config.kind, RaceKind::Cross);
    EXPECT_EQ(o.plan.kind, RaceKind::Cross);
    EXPECT_EQ(o.plan.block, '3');
    EXPECT_EQ(o.config.boardPort, 1);
    EXPECT_EQ(o.config.lineEnd, '@');
    EXPECT_EQ(o.config.deviceLine.dataBits, 7) << "as the console after a first start";
}

TEST(SimOptions, RaceFileThatCannotBeReadOrHoldsNothingStopsTheStart) {
    e2e::TempFolder folder;
    SimOptions o = parseOptions({"--race", (folder.path() / "missing.race").string()});
    EXPECT_THROW(resolve(o, folder.path()), OptionError);
    std::ofstream(folder.path() / "empty.race") << "# nothing\n";
    o = parseOptions({"--race", (folder.path() / "empty.race").string()});
    EXPECT_THROW(resolve(o, folder.path()), RaceFileError);
    o = parseOptions({});
    resolve(o, folder.path());
    EXPECT_EQ(o.config.root, folder.path());
    EXPECT_EQ(o.config.logFile, folder.path() / "qpane-sim.log");
    EXPECT_EQ(o.config.race.lines.size(), 24u);
}

}  // namespace
}  // namespace qpane::sim
