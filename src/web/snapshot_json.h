#pragma once

#include <optional>
#include <string>

#include "web/web_snapshot.h"

namespace qpane::web {

// GET /api/board: the board rows as sent, with the title and the pattern.
std::string boardJson(const WebSnapshot& s);

// GET /api/ranking: the groups of the block (every block when none is given), or the one
// group; nullopt when the block or group has no ranking.
std::optional<std::string> rankingJson(const WebSnapshot& s,
                                       const std::optional<std::string>& block,
                                       const std::optional<std::string>& group);

// One event of /events: the board, the newest passes, the groups that have a ranking and
// the ranking version, so that a page fetches the ranking it shows only when it changed.
std::string eventJson(const WebSnapshot& s);

std::string disciplineName(results::Discipline d);

}  // namespace qpane::web
