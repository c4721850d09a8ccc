// qpane-sim: the timing device and the Q-PANE board on pseudo-terminals, so that the console
// runs a race with no hardware.
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "board_window.h"
#include "line_view.h"
#include "platform/paths.h"
#include "replay_traffic.h"
#include "sim_options.h"
#include "terminal_view.h"

using namespace qpane::sim;

namespace {

std::string describe(const qpane::sim::PtyLink& link) {
    return link.name() + " (" + link.linkPath().string() + " -> " + link.portPath() + ")";
}

}  // namespace

int main(int argc, char* argv[]) {
    SimOptions options;
    try {
        options = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
        if (options.window && !windowsAvailable())
            throw OptionError("--window: this qpane-sim is built without Qt");
        resolve(options, qpane::Paths::fromEnvironment().root());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qpane-sim: %s\n", e.what());
        return 2;
    }
    const SimConfig& config = options.config;
    switch (options.action) {
        case SimAction::Help: std::fputs(kUsage, stdout); return 0;
        case SimAction::PrintRace: std::cout << writeRace(config.race); return 0;
        case SimAction::PrintScenario:
            std::cout << replayActions(config.race, config.mode, config.kind, config.lineEnd,
                                       config.deviceLine, config.devicePort);
            return 0;
        case SimAction::Run: break;
    }

    // The signals that end the simulator arrive as input, on whichever thread waits.
    sigset_t signals;
    sigemptyset(&signals);
    for (int s : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&signals, s);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    const int signalFd = ::signalfd(-1, &signals, SFD_CLOEXEC);

    try {
        Simulator sim(config);
        std::printf("qpane-sim: timing device on %s, board on %s, log %s\n",
                    describe(sim.deviceLink()).c_str(), describe(sim.boardLink()).c_str(),
                    config.logFile.empty() ? "none" : config.logFile.c_str());
        std::fflush(stdout);

        // Redrawing in place needs a terminal: elsewhere the board's changes come as lines.
        const bool terminal = ::isatty(STDOUT_FILENO) == 1;
        ViewKind kind = options.view.value_or(terminal ? ViewKind::Terminal : ViewKind::None);
        if (kind == ViewKind::Terminal && !terminal) kind = ViewKind::Lines;
        TerminalView terminalView(stdout);
        LineView lineView(stdout);
        std::function<void(const BoardSnapshot&)> show;
        if (kind == ViewKind::Terminal)
            show = [&terminalView](const BoardSnapshot& s) { terminalView.show(s); };
        if (kind == ViewKind::Lines)
            show = [&lineView](const BoardSnapshot& s) { lineView.show(s); };
        const int status = options.window ? runWithWindow(sim, signalFd, show, argc, argv) : [&] {
            sim.setBoardListener(show);
            sim.run(signalFd);
            return 0;
        }();
        if (sim.endedIdle())
            std::printf("qpane-sim: the race is over and the board idle; the traffic is in %s\n",
                        config.logFile.empty() ? "no log" : config.logFile.c_str());
        return status;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qpane-sim: %s\n", e.what());
        return 1;
    }
    return 0;
}
