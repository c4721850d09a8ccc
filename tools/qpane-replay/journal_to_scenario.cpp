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

void journalToScenario(std::istream& journal, std::ostream& out) {
    std::string line;
    int number = 0;
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
    out << "# Made from a traffic journal by qpane-replay --journal.\n";
    while (std::getline(journal, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const Record r = parseRecord(line, number);
        const std::string first = r.args.empty() ? "" : r.args[0].text;
        if (r.kind == "session") {
            if (started) continue;  // a later file of the session repeats its header
            out << "iniraw " << quoteBytes(first) << "\n";
        } else if (r.kind == "store") {
            if (!started) pendingStore.push_back(quoteBytes(first));
        } else if (r.kind == "open" || r.kind == "openfail") {
            startWindow();
            if (!applied) {
                out << "answer no no no no no no\nclick CuteButton3\n";
                applied = true;
            }
            last = r.ms;
        } else if (r.kind == "rx") {
            startWindow();
            if (r.args.size() < 2) throw ScenarioError(number, "rx takes a port and bytes");
            if (r.ms > last) out << "wait " << (r.ms - last) << "\n";
            if (r.ms > last) last = r.ms;
            out << "rx " << first << " " << quoteBytes(r.args[1].text) << "\n";
        } else if (r.kind == "tx") {
            if (r.args.size() < 2) throw ScenarioError(number, "tx takes a port and bytes");
            out << "# " << r.ms << " tx " << first << " " << quoteBytes(r.args[1].text) << "\n";
        } else if (r.kind == "close") {
            continue;
        } else {
            throw ScenarioError(number, "unknown journal record '" + r.kind + "'");
        }
    }
    startWindow();
    out << "wait 5000\n";
}

}  // namespace qpane::replay
