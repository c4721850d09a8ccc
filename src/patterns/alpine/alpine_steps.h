// The steps that the alpine routines share: reading a queued line, the statements on the
// result table, the ranking fill, the rank form, the rows of a pass to the board and the pass
// lines of the output log.
// Each routine keeps its own order of these steps; what differs between them stays in the
// routine.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "patterns/alpine/alpine_context.h"

namespace qpane {

class TQuery;

namespace alpine {

// Characters from..to (1-based, both included) of a text; characters that do not exist are
// empty, so a short text gives a short (or empty) result.
std::string characters(std::string_view text, size_t from, size_t to);

// The queued line as its fields are read: workLine without the CR that the routine appended.
// A line that is too short gives short fields, never a CR inside a bib or a time (which would
// end a board row early and leave the rest of it as a stray line on the board).
std::string_view lineBody(const AlpineContext& c);

// The record code (character 2 of the line), or '\0' when the line has no character 2.
char lineCode(const AlpineContext& c);

// Characters 7 to 17 of the line: the time text as it came.
std::string lineTime(const AlpineContext& c);

// A line too short to carry any time (a broken or truncated line). The routines drop it
// with the lines they do not handle, so that it cannot overwrite a stored time with an
// empty one.
bool carriesNoTime(const AlpineContext& c);

// The first queued line becomes workLine (followed by CR; without its first two characters
// in connection mode "B"); blockNo, bibNo, and grpNo from the group lookup on Qtemp.
void takeQueuedLine(AlpineContext& c);

// Removes the first queued line.
void dropQueuedLine(AlpineContext& c);

// Which lines a routine drops before it stores anything: the codes it does not handle, and
// whether a line without a code (no character 2) is dropped too.
struct DroppedLines {
    std::string_view codes;
    bool withoutCode;
};

// Takes the first queued line (takeQueuedLine). A line that the routine drops, or that
// carries no time, leaves the queue and gives false; otherwise timeText is set from it and
// code holds its record code.
bool takeTimedLine(AlpineContext& c, DroppedLines dropped, char& code);

// Replaces the statement of a query by these lines (which closes it).
void setStatement(TQuery& q, const std::vector<std::string>& lines);

// How a routine writes the update of one time: its two lines, or all on one line.
enum class UpdateLines { Two, One };

// "update timedata set <column>='<timeText>'" for bibNo in blockNo; executed on Qedit.
void storeTime(AlpineContext& c, std::string_view column, UpdateLines form);

// Opens on Qedit the records of grpNo and blockNo that hold a value in column, ordered by it.
void openRanking(AlpineContext& c, std::string_view column);

// The count of the records of group and block whose column is below timeText: the rank of
// timeText less one. Equal times share a rank.
std::vector<std::string> rankCountStatement(const AlpineContext& c, std::string_view column,
                                            std::string_view group);

// Opens the count query on q and gives its count plus 1 as decimal text.
std::string openRankCount(TQuery& q);

// Qtimedp's statements for the grid of the data check page: the run-1 ranking (with or
// without the block column) and the ranking of the totals with run 2.
std::vector<std::string> gridRun1Statement(const AlpineContext& c, bool withBlock);
std::vector<std::string> gridTotalStatement(const AlpineContext& c);

// A ranking row: the row letter, the bib, five spaces, the time field.
std::string rankingRow(const AlpineContext& c, BoardRow row, std::string_view bib,
                       std::string_view time);

// Writes the records of q, from its current record on, into the board rows firstRow to
// lastRow (rowNo counts them; rowBib and rowTime hold the record being written). When
// skipRowL is set, row L (kRowL) is passed over.
void fillRanking(AlpineContext& c, TQuery& q, std::string_view column, int firstRow, int lastRow,
                 bool skipRowL);

// The rank in its four-character form with a point at position 2 (" . 5", " .12", "1.23");
// a text of four or more characters, or an empty one, stays as it is.
std::string rankForm(const std::string& rank);

// Rows A to J to the board (rowNo counting them): all of them on the shared port, only those
// with something in characters 3 to 20 on the separate one. Nothing is logged.
void sendRowsAToJ(AlpineContext& c);

// The lines of the competitor, the time or difference, and the leader that a pass leaves
// for the output log (logLineA, logLineB, logLineC).
void logPassLines(AlpineContext& c);

// The difference row of ALPINE-4 (row C) and ALPINE-5 (row B): the letter, "DIF", and the
// time field of diffTime.
std::string differenceRow(const AlpineContext& c, BoardRow row);

}  // namespace alpine
}  // namespace qpane
