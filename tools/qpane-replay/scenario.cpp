#include "scenario.h"

#include <map>

namespace qpane::replay {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// A decimal number within 32 bits (ports, records) or 63 bits (milliseconds).
bool isWholeNumber(const std::string& s, bool wide = false) {
    size_t i = s.size() > 1 && s[0] == '-' ? 1 : 0;
    if (i == s.size() || s.size() - i > (wide ? 18u : 9u)) return false;
    for (; i < s.size(); ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

struct Shape {
    int minArgs;
    int maxArgs;  // -1: any number
};

const std::map<std::string, Shape>& shapes() {
    static const std::map<std::string, Shape> table = {
        {"ini", {2, 2}},    {"iniraw", {1, 1}}, {"sql", {1, 1}},     {"portfail", {1, 1}},
        {"portok", {1, 1}}, {"start", {0, 0}},  {"answer", {1, -1}}, {"click", {1, 1}},
        {"set", {2, 2}},    {"leave", {1, 1}},  {"row", {2, 2}},     {"key", {2, 2}},
        {"rx", {2, 2}},     {"wait", {1, 1}},   {"close", {0, 0}},   {"dump", {1, 2}},
    };
    return table;
}

void checkPort(const Action& a, const Token& t) {
    const std::string& s = t.text;
    if (s.size() < 4 || s.compare(0, 3, "COM") != 0 || !isWholeNumber(s.substr(3)) || s[3] == '-')
        throw ScenarioError(a.line, "'" + s + "' is not a port name COMn");
}

void checkAction(const Action& a) {
    auto it = shapes().find(a.verb);
    if (it == shapes().end()) throw ScenarioError(a.line, "unknown action '" + a.verb + "'");
    const int n = static_cast<int>(a.args.size());
    if (n < it->second.minArgs || (it->second.maxArgs >= 0 && n > it->second.maxArgs))
        throw ScenarioError(a.line, "wrong number of arguments for '" + a.verb + "'");
    if (a.verb == "portfail" || a.verb == "portok" || a.verb == "rx") checkPort(a, a.args[0]);
    if (a.verb == "wait" && (!isWholeNumber(a.args[0].text, true) || a.args[0].text[0] == '-'))
        throw ScenarioError(a.line, "wait takes a number of milliseconds");
    if (a.verb == "row" && (!isWholeNumber(a.args[1].text) || a.args[1].text[0] == '-'))
        throw ScenarioError(a.line, "row takes a record number from 0");
    if (a.verb == "answer") {
        for (const Token& t : a.args)
            if (t.text != "yes" && t.text != "no")
                throw ScenarioError(a.line, "answer takes yes or no");
    }
    if (a.verb == "key") {
        const std::string& k = a.args[1].text;
        if (k != "Enter" && k != "Tab" && k != "Space")
            throw ScenarioError(a.line, "key takes Enter, Tab or Space");
    }
    if (a.verb == "dump") {
        const std::string& what = a.args[0].text;
        const bool named = what == "memo" || what == "sql" || what == "field" || what == "control";
        if (what == "ini" ? a.args.size() != 1 : (!named || a.args.size() != 2))
            throw ScenarioError(a.line,
                                "dump takes memo, sql, field or control with a name, or ini");
    }
}

}  // namespace

std::vector<Token> tokenize(const std::string& text, int line) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        if (i >= text.size()) break;
        Token t;
        if (text[i] != '"') {
            while (i < text.size() && !isBlank(text[i]))
                t.text += text[i++];
            tokens.push_back(std::move(t));
            continue;
        }
        t.quoted = true;
        ++i;
        bool closed = false;
        while (i < text.size()) {
            char c = text[i++];
            if (c == '"') {
                closed = true;
                break;
            }
            if (c != '\\') {
                t.text += c;
                continue;
            }
            if (i >= text.size()) throw ScenarioError(line, "unfinished escape");
            char e = text[i++];
            switch (e) {
                case 'r': t.text += '\r'; break;
                case 'n': t.text += '\n'; break;
                case 't': t.text += '\t'; break;
                case '\\': t.text += '\\'; break;
                case '"': t.text += '"'; break;
                case 'x': {
                    int hi = i < text.size() ? hexDigit(text[i]) : -1;
                    int lo = i + 1 < text.size() ? hexDigit(text[i + 1]) : -1;
                    if (hi < 0 || lo < 0) throw ScenarioError(line, "\\x takes two hex digits");
                    t.text += static_cast<char>(hi * 16 + lo);
                    i += 2;
                    break;
                }
                default: throw ScenarioError(line, std::string("unknown escape \\") + e);
            }
        }
        if (!closed) throw ScenarioError(line, "unfinished quoted string");
        if (i < text.size() && !isBlank(text[i]))
            throw ScenarioError(line, "a quoted string must be followed by a blank");
        tokens.push_back(std::move(t));
    }
    return tokens;
}

std::vector<Action> parseScenario(std::istream& in) {
    std::vector<Action> actions;
    std::string text;
    int line = 0;
    while (std::getline(in, text)) {
        ++line;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        size_t first = text.find_first_not_of(" \t");
        if (first == std::string::npos || text[first] == '#') continue;
        std::vector<Token> tokens = tokenize(text, line);
        Action a;
        a.line = line;
        a.verb = tokens.front().text;
        if (tokens.front().quoted) throw ScenarioError(line, "an action is not quoted");
        a.args.assign(tokens.begin() + 1, tokens.end());
        checkAction(a);
        actions.push_back(std::move(a));
    }
    return actions;
}

}  // namespace qpane::replay
