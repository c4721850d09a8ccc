#pragma once

#include <istream>
#include <ostream>

namespace qpane::replay {

// Turns a traffic journal into a scenario: the settings of its session, the stored results,
// "実行" where the ports opened (every question answered No), then each received chunk at
// its moment. What the console sent is kept as comments, to compare with the transcript.
// Throws ScenarioError for a line that is not a journal record.
void journalToScenario(std::istream& journal, std::ostream& scenario);

}  // namespace qpane::replay
