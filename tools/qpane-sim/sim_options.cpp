#include "sim_options.h"

#include <charconv>
#include <fstream>

namespace qpane::sim {

const char* const kUsage = R"(usage: qpane-sim [options]

Plays the timing device and the Q-PANE board on pseudo-terminals linked as
<root>/dev/COMn, the ports the console opens. The race starts when the console opens
the device's port (実行).

  --root DIR             the console's root folder (default: $QPANE_ROOT, else ~/qpane-root)
  --device-port N        the timing device's port (default 1)
  --board-port N         the board's port (default 2; the device's port for a shared line)
  --mode direct|buffered the device sends on its own, or keeps its lines until polled
                         (default direct)
  --kind alpine|cross    the buffered line form and the generated race (default alpine)
  --race FILE            the race: "<delay ms> <timing line>" per line (default: generated)
  --competitors N        generated race: competitors (default 8)
  --runs N               generated race: alpine runs (1 or 2) or cross-country laps (default 2)
  --gap MS               generated race: time between two lines (default 3000)
  --first-delay MS       generated race: time to the first line (default 2000)
  --block N              generated race: the block, 0 to 9 (default 0, where a fresh
                         installation has every bib in group 0)
  --seed N               generated race and noise (default 1)
  --bit-rate N           the device's line: bit rate (default 9600)
  --data-bits 7|8        the device's line: data bits (default 7, as a first start of the
                         console sets)
  --parity even|odd|none the device's line: parity (default even)
  --board-bit-rate N     the board's line: bit rate (default 9600)
  --line-end cr|at       buffered alpine form: the line end (default cr)
  --parity-errors RATE   share of the device's bytes hit by noise, 0 to 1 (default 0)
  --log FILE             the traffic log (default <root>/qpane-sim.log)
  --view terminal|lines|none
                         show the board in this terminal, redrawn in place (default
                         when standard output is a terminal; elsewhere it prints lines),
                         or print each change of the board as a line, or show nothing
  --end-when-idle MS     end once the race is over and the board has taken no line
                         for MS milliseconds
  --window               show the board in a window as well
  --print-race           print the race as a race file and stop
  --print-scenario       print the race as qpane-replay actions and stop
  --help
)";

namespace {

int64_t number(const std::string& option, const std::string& text, int64_t low, int64_t high) {
    int64_t value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size() || value < low || value > high)
        throw OptionError(option + ": \"" + text + "\" is not a whole number from " +
                          std::to_string(low) + " to " + std::to_string(high));
    return value;
}

double rate(const std::string& option, const std::string& text) {
    size_t used = 0;
    double value = -1;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || !(value >= 0 && value <= 1))
        throw OptionError(option + ": \"" + text + "\" is not a share from 0 to 1");
    return value;
}

int bitRate(const std::string& option, const std::string& text) {
    const int64_t value = number(option, text, 1, 115200);
    for (int known : {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200})
        if (value == known) return known;
    throw OptionError(option + ": " + text + " is not a bit rate of a serial port");
}

template <typename T>
T choice(const std::string& option, const std::string& text,
         std::initializer_list<std::pair<const char*, T>> choices) {
    std::string names;
    for (const auto& [name, value] : choices) {
        if (text == name) return value;
        names += names.empty() ? name : std::string(", ") + name;
    }
    throw OptionError(option + ": \"" + text + "\" is none of " + names);
}

}  // namespace

SimOptions parseOptions(const std::vector<std::string>& args) {
    SimOptions o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw OptionError(a + " needs a value");
            return args[++i];
        };
        if (a == "--help" || a == "-h") {
            o.action = SimAction::Help;
        } else if (a == "--root") {
            o.rootOption = value();
        } else if (a == "--device-port") {
            o.config.devicePort = static_cast<int>(number(a, value(), 1, 9));
        } else if (a == "--board-port") {
            o.config.boardPort = static_cast<int>(number(a, value(), 1, 9));
        } else if (a == "--mode") {
            o.config.mode = choice<DeviceMode>(
                a, value(), {{"direct", DeviceMode::Direct}, {"buffered", DeviceMode::Buffered}});
        } else if (a == "--kind") {
            o.config.kind = o.plan.kind = choice<RaceKind>(
                a, value(), {{"alpine", RaceKind::Alpine}, {"cross", RaceKind::Cross}});
        } else if (a == "--race") {
            o.raceFile = value();
        } else if (a == "--competitors") {
            o.plan.competitors = static_cast<int>(number(a, value(), 1, 999));
        } else if (a == "--runs") {
            o.plan.runs = static_cast<int>(number(a, value(), 1, 20));
        } else if (a == "--gap") {
            o.plan.gapMs = number(a, value(), 0, 3600000);
        } else if (a == "--first-delay") {
            o.plan.firstDelayMs = number(a, value(), 0, 3600000);
        } else if (a == "--block") {
            o.plan.block = static_cast<char>('0' + number(a, value(), 0, 9));
        } else if (a == "--seed") {
            o.plan.seed = o.config.seed = static_cast<uint32_t>(number(a, value(), 0, 4294967295));
        } else if (a == "--bit-rate") {
            o.config.deviceLine.bitRate = bitRate(a, value());
        } else if (a == "--data-bits") {
            o.config.deviceLine.dataBits = static_cast<int>(number(a, value(), 7, 8));
        } else if (a == "--parity") {
            o.config.deviceLine.parity = choice<Parity>(
                a, value(), {{"even", Parity::Even}, {"odd", Parity::Odd}, {"none", Parity::None}});
        } else if (a == "--board-bit-rate") {
            o.config.boardLine.bitRate = bitRate(a, value());
        } else if (a == "--line-end") {
            o.config.lineEnd = choice<char>(a, value(), {{"cr", '\r'}, {"at", '@'}});
        } else if (a == "--parity-errors") {
            o.config.parityErrorRate = rate(a, value());
        } else if (a == "--log") {
            o.logOption = value();
        } else if (a == "--view") {
            o.view = choice<ViewKind>(a, value(),
                                      {{"terminal", ViewKind::Terminal},
                                       {"lines", ViewKind::Lines},
                                       {"none", ViewKind::None}});
        } else if (a == "--end-when-idle") {
            o.config.endWhenIdleMs = number(a, value(), 0, 3600000);
        } else if (a == "--window") {
            o.window = true;
        } else if (a == "--print-race") {
            o.action = SimAction::PrintRace;
        } else if (a == "--print-scenario") {
            o.action = SimAction::PrintScenario;
        } else {
            throw OptionError("unknown option " + a + " (qpane-sim --help lists them)");
        }
    }
    return o;
}

void resolve(SimOptions& o, const std::filesystem::path& defaultRoot) {
    o.config.root = o.rootOption ? *o.rootOption : defaultRoot;
    o.config.logFile = o.logOption ? *o.logOption : o.config.root / "qpane-sim.log";
    if (!o.raceFile) {
        o.config.race = generateRace(o.plan);
        return;
    }
    std::ifstream in(*o.raceFile, std::ios::binary);
    if (!in) throw OptionError("--race: cannot read " + o.raceFile->string());
    o.config.race = readRace(in, o.raceFile->string());
    if (o.config.race.lines.empty())
        throw RaceFileError(o.raceFile->string() + ": no timing line in the race");
}

}  // namespace qpane::sim
