#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qpane {

// What the operator did at the window that changes results or the board, for the traffic
// journal, so that an incident replays with the operator's actions as well as the traffic.
// Each action is a kind and the values of the controls that it used:
//   correct  bib block old-time1 old-time2 new-time1 new-time2   (maintenance page, 設定)
//   group    block group first-bib last-bib                       (group panel, 実行)
//   reset    block                                                (ﾌﾞﾛｯｸ初期化)
//   resetall                                                      (全初期化)
//   pattern  image                                                (output pattern page)
//   apply    started-ms answer...                                 (実行: yes/no per question)
class OperatorTrace {
  public:
    virtual ~OperatorTrace() = default;
    // ms: when the action ended (for apply, whose handler waits for the ports, the moment it
    // started is its first value).
    virtual void operatorAction(int64_t ms, const std::string& kind,
                                const std::vector<std::string>& values) = 0;
};

}  // namespace qpane
