#pragma once

namespace qpane::web {

// The pages of the live results: built in, never read from the disk.
extern const char* const kResultsPage;  // "/": title, newest passes, ranking, the board
extern const char* const kBoardPage;    // "/board": the board alone, drawn like the board
extern const char* const kPageStyle;    // "/app.css"
extern const char* const kPageScript;   // "/app.js": follows /events, else polls /api/live
}  // namespace qpane::web
