// The simulated timing device in each of its forms, read by the console's own intake: the
// device's traffic for a race runs through the replay engine, and every time of the race
// must land in the store, with the input queue empty and the buffered intake free again.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "platform/byte_text.h"
#include "race_generator.h"
#include "replay_session.h"
#include "replay_traffic.h"
#include "temp_folder.h"

namespace qpane::sim {
namespace {

struct Form {
    const char* name;
    DeviceMode mode;
    RaceKind kind;
    int dataBits;
    char lineEnd;
};

void PrintTo(const Form& form, std::ostream* out) {
    *out << form.name;
}

struct Times {
    std::string time1, time2, totalt;
    bool operator==(const Times&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Times& t) {
    return out << "[" << t.time1 << "|" << t.time2 << "|" << t.totalt << "]";
}

// What the store must hold after the race: ALPINE-1 keeps codes 1, 2 and T apart; CROSS-1
// writes each pass to time1 and totalt.
std::map<std::string, Times> expectedTimes(const Race& race, RaceKind kind) {
    std::map<std::string, Times> out;
    for (const RaceLine& l : race.lines) {
        Times& t = out[l.line.substr(3, 3)];
        const std::string time = l.line.substr(6, 11);
        if (kind == RaceKind::Cross) {
            t.time1 = t.totalt = time;
        } else if (l.line[1] == '1') {
            t.time1 = time;
        } else if (l.line[1] == '2') {
            t.time2 = time;
        } else if (l.line[1] == 'T') {
            t.totalt = time;
        }
    }
    return out;
}

std::string replay(const std::string& scenario) {
    e2e::TempFolder root("qpane-sim-protocol");
    std::istringstream in(scenario);
    std::ostringstream out;
    replay::ReplaySession(root.path(), out).run(replay::parseScenario(in));
    return out.str();
}

// The rows of the transcript's one "sql" dump: bib, time1, time2, totalt.
std::map<std::string, Times> storedTimes(const std::string& transcript) {
    std::map<std::string, Times> out;
    std::istringstream in(transcript);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("  | ", 0) != 0) continue;
        std::vector<std::string> cells;
        size_t pos = line.find('"');
        while (pos != std::string::npos) {
            cells.push_back(unquoteBytes(line, pos));
            pos = line.find('"', pos);
        }
        if (cells.size() == 4) out[cells[0]] = {cells[1], cells[2], cells[3]};
    }
    return out;
}

std::string settings(const Form& form) {
    std::string s = "ini Portno 1\nini Portno2 2\nini Pinout 1\nini BitRateOut 2\n";
    s += "ini Chars1 " + std::string(form.dataBits == 7 ? "0" : "1") + "\n";
    s += "ini Disppt " + std::string(form.kind == RaceKind::Alpine ? "1" : "11") + "\n";
    s += "ini Gmode " + std::string(form.mode == DeviceMode::Direct ? "D" : "B") + "\n";
    return s + "start\nclick CuteButton3\n";
}

const char* const kDumpTimes =
    "dump sql \"select bib,time1,time2,totalt from timedata where block='0' and "
    "(time1<>'' or totalt<>'') order by bib\"\n";

class DeviceForms : public ::testing::TestWithParam<Form> {};

TEST_P(DeviceForms, ConsoleReadsEveryLineOfTheRace) {
    const Form form = GetParam();
    RacePlan plan;
    plan.kind = form.kind;
    plan.competitors = 4;
    plan.runs = 2;
    plan.gapMs = 2000;
    plan.seed = 7;
    const Race race = generateRace(plan);
    const LineSettings line{9600, form.dataBits, form.dataBits == 7 ? Parity::Even : Parity::None};

    std::string scenario = settings(form);
    scenario += replayActions(race, form.mode, form.kind, form.lineEnd, line, 1);
    scenario += "wait 5000\n";
    scenario += "dump memo Memo2\ndump field bufferBusy\n";
    scenario += kDumpTimes;

    const std::string transcript = replay(scenario);
    EXPECT_EQ(storedTimes(transcript), expectedTimes(race, form.kind)) << transcript;
    EXPECT_NE(transcript.find(" memo Memo2 0\n"), std::string::npos) << "lines left queued";
    EXPECT_NE(transcript.find(" field bufferBusy \"0\""), std::string::npos);
    EXPECT_EQ(transcript.find(" error "), std::string::npos) << transcript;
}

INSTANTIATE_TEST_SUITE_P(
    AllForms, DeviceForms,
    ::testing::Values(Form{"AlpineDirect", DeviceMode::Direct, RaceKind::Alpine, 7, '\r'},
                      Form{"AlpineBufferedCr8Bits", DeviceMode::Buffered, RaceKind::Alpine, 8,
                           '\r'},
                      Form{"AlpineBufferedAt7Bits", DeviceMode::Buffered, RaceKind::Alpine, 7, '@'},
                      Form{"CrossDirect", DeviceMode::Direct, RaceKind::Cross, 8, '\r'},
                      Form{"CrossBuffered8Bits", DeviceMode::Buffered, RaceKind::Cross, 8, '\r'},
                      Form{"CrossBuffered7Bits", DeviceMode::Buffered, RaceKind::Cross, 7, '\r'}),
    [](const ::testing::TestParamInfo<Form>& info) { return std::string(info.param.name); });

// On a 7-bit line the idle device's answer "A" is not the poll byte to the console, which
// queues it as data. A batch that comes after it must still be read right: its first line
// ends the stray line before it.
TEST(DeviceProtocol, SevenBitBatchAfterStrayIdleAnswersIsReadRight) {
    const Form form{"", DeviceMode::Buffered, RaceKind::Alpine, 7, '\r'};
    const LineSettings line{9600, 7, Parity::Even};
    TimingDevice device(form.mode, form.kind);
    const std::string idle = quoteBytes(carried(line, device.poll()));
    std::string scenario = settings(form) + "wait 1000\nrx COM1 " + idle + "\n";
    device.take("C1000500:01:31.07");
    device.take("C1000600:01:32.08");
    while (!device.idle())
        scenario += "rx COM1 " + quoteBytes(carried(line, device.poll())) + "\n";
    scenario += "wait 1000\nrx COM1 " + idle + "\nwait 1000\n";
    scenario += kDumpTimes;

    const std::string transcript = replay(scenario);
    const std::map<std::string, Times> expected{{"005", {"00:01:31.07", "", ""}},
                                                {"006", {"00:01:32.08", "", ""}}};
    EXPECT_EQ(storedTimes(transcript), expected) << transcript;
}

}  // namespace
}  // namespace qpane::sim
