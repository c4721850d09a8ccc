#pragma once

#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

namespace qpane::replay {

// One token of a scenario line: a quoted byte string (escapes resolved) or plain text.
struct Token {
    std::string text;
    bool quoted = false;
};

// One action of a scenario with the number of the line it stands on.
struct Action {
    int line = 0;
    std::string verb;
    std::vector<Token> args;
};

// A scenario that cannot be run: the message names the line and what is wrong.
class ScenarioError : public std::runtime_error {
  public:
    ScenarioError(int line, const std::string& what)
        : std::runtime_error("line " + std::to_string(line) + ": " + what) {}
};

// Splits a line into tokens; throws ScenarioError for an unfinished quote or a bad escape.
std::vector<Token> tokenize(const std::string& text, int line);

// Reads and checks a whole scenario (the verbs and the number and form of their arguments)
// before anything runs.
std::vector<Action> parseScenario(std::istream& in);

}  // namespace qpane::replay
