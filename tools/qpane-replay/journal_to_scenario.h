#pragma once

#include <istream>
#include <ostream>

namespace qpane::replay {

// Turns a traffic journal into a scenario: the settings of its session, the stored results,
// each received chunk at its moment, and the operator's actions as the controls that they
// used (corrections, groups, resets, patterns; "実行" with the answers given). A journal
// without records of "実行" gets one where the ports opened, every question answered No. What the
// console sent is kept as comments, to compare with the transcript. Throws ScenarioError for a line
// that is not a journal record.
void journalToScenario(std::istream& journal, std::ostream& scenario);

}  // namespace qpane::replay
