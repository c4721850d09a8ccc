#include "journal_to_scenario.h"

#include <sstream>
#include <string>
#include <vector>

#include "platform/byte_text.h"
#include "scenario.h"

namespace qpane::replay {

namespace {

struct Record {
    int64_t ms = 0;
    std::string kind;
    std::vector<Token> args;
};

Record parseRecord(const std::string& line, int number) {
    std::vector<Token> tokens = tokenize(line, number);
    if (tokens.size() < 3) throw ScenarioError(number, "not a journal record");
    Record r;
    try {
        r.ms = std::stoll(tokens[1].text);
    } catch (const std::exception&) {
        throw ScenarioError(number, "a journal record starts with its time");
    }
    r.kind = tokens[2].text;
    r.args.assign(tokens.begin() + 3, tokens.end());
    return r;
}

}  // namespace

namespace {

// The scenario's actions for one of the operator's records; false for a kind that is none.
bool operatorActions(const Record& r, int number, std::ostream& out) {
    auto need = [&](size_t n) {
        if (r.args.size() < n)
            throw ScenarioError(number, r.kind + " takes " + std::to_string(n) + " values");
    };
    auto set = [&](const char* control, size_t i) {
        out << "set " << control << " " << quoteBytes(r.args[i].text) << "\n";
    };
    if (r.kind == "correct") {
        need(6);
        // The page of the correction, as the operator had it in front of them.
        out << "click TabSheet4\n";
        set("SpE2", 1);
        set("Edit2", 0);
        set("ME1", 4);
        set("ME2", 5);
        out << "click CuteButton4\n";
    } else if (r.kind == "group") {
        need(4);
        set("SPE", 0);
        set("SpEgr", 1);
        set("SpEs", 2);
        set("SpEe", 3);
        out << "click CuteButton6\n";
    } else if (r.kind == "reset") {
        need(1);
        set("SPE", 0);
        out << "click CuteButton7\n";
    } else if (r.kind == "resetall") {
        out << "click CuteButton9\n";
    } else if (r.kind == "pattern") {
        need(1);
        out << "click " << r.args[0].text << "\n";
    } else {
        return false;
    }
    return true;
}

}  // namespace

void journalToScenario(std::istream& journal, std::ostream& out) {
    std::vector<std::pair<int, std::string>> lines;
    std::string line;
    // A journal that records 実行 with its answers replays each 実行 as it was; an older one
    // gets one 実行 where the ports opened, every question answered No.
    bool recordsApply = false;
    for (int number = 1; std::getline(journal, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (line.find(" apply") != std::string::npos) {
            const Record r = parseRecord(line, number);
            if (r.kind == "apply") recordsApply = true;
        }
        lines.emplace_back(number, line);
    }
    bool started = false;
    bool applied = false;
    int64_t last = 0;
    std::vector<std::string> pendingStore;
    auto startWindow = [&] {
        if (started) return;
        out << "start\n";
        for (const std::string& statement : pendingStore)
            out << "sql " << statement << "\n";
        pendingStore.clear();
        started = true;
    };
    auto waitUntil = [&](int64_t ms) {
        if (ms > last) out << "wait " << (ms - last) << "\n";
        if (ms > last) last = ms;
    };
    out << "# Made from a traffic journal by qpane-replay --journal.\n";
    for (const auto& [number, text] : lines) {
        const Record r = parseRecord(text, number);
        const std::string first = r.args.empty() ? "" : r.args[0].text;
        if (r.kind == "session") {
            if (started) continue;  // a later file of the session repeats its header
            out << "iniraw " << quoteBytes(first) << "\n";
        } else if (r.kind == "store") {
            if (!started) pendingStore.push_back(quoteBytes(first));
        } else if (r.kind == "open" || r.kind == "openfail") {
            startWindow();
            if (recordsApply) continue;  // the ports that 実行 opened
            if (!applied) {
                out << "answer no no no no no no\nclick CuteButton3\n";
                applied = true;
            }
            last = r.ms;
        } else if (r.kind == "apply") {
            startWindow();
            int64_t begun = r.ms;
            try {
                if (!r.args.empty()) begun = std::stoll(first);
            } catch (const std::exception&) {
                throw ScenarioError(number, "apply starts with the time 実行 was pressed");
            }
            waitUntil(begun);
            if (r.args.size() > 1) {
                out << "answer";
                for (size_t i = 1; i < r.args.size(); ++i)
                    out << " " << r.args[i].text;
                out << "\n";
            }
            out << "click CuteButton3\n";
            // The handler's own waits (the ports opening) pass in the replay as well.
            if (r.ms > last) last = r.ms;
        } else if (r.kind == "rx") {
            startWindow();
            if (r.args.size() < 2) throw ScenarioError(number, "rx takes a port and bytes");
            waitUntil(r.ms);
            out << "rx " << first << " " << quoteBytes(r.args[1].text) << "\n";
        } else if (r.kind == "tx") {
            if (r.args.size() < 2) throw ScenarioError(number, "tx takes a port and bytes");
            out << "# " << r.ms << " tx " << first << " " << quoteBytes(r.args[1].text) << "\n";
        } else if (r.kind == "close") {
            continue;
        } else {
            startWindow();
            std::ostringstream actions;
            if (!operatorActions(r, number, actions))
                throw ScenarioError(number, "unknown journal record '" + r.kind + "'");
            waitUntil(r.ms);
            out << actions.str();
        }
    }
    startWindow();
    out << "wait 5000\n";
}

}  // namespace qpane::replay
