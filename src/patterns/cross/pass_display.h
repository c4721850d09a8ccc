#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "patterns/cross/cross_context.h"

// The parts of the pass display cycle (Timer3Timer): the rows each pattern draws from one
// pass row, and how they go to the board.
namespace qpane::cross {

// The ten stored pass lines of the pass row being shown: [0] is tm1 (the pass to show),
// [1] .. [9] the passes before it, newest first.
using PassTexts = std::array<std::string, 10>;

// First 9 characters and dpprec of positions 10 to 20, blanks and control characters removed
// at both ends of the whole; an empty text stays empty.
std::string arrangePrecision(const CrossContext& c, std::string_view pass);

// The letter of board row r (1 = "A").
std::string rowLetter(int row);

// A shown pass as board row r: letter, bib and spaces (positions 2 to 9), time field.
std::string passRow(const CrossContext& c, int row, std::string_view pass);

// Ranking rows from the current record of query on, starting at row firstRow and ending at
// row 10 or with the records: letter, bib, 5 spaces, time field of the column timeColumn.
// rowNo counts; rankBib and rankTime hold the record being placed.
void fillRankingRows(CrossContext& c, TQuery& query, int firstRow, std::string_view timeColumn);

// Row B of the difference diffTime to the leader; under one second (also below zero) the
// board's fixed form with the tenths digit.
std::string differenceRow(const CrossContext& c);

// Row A of CROSS-4: the bib and the rank; "" when the rank has four digits or more and the
// row keeps its reset content.
std::string rankRow(std::string_view bib, int64_t rank);

// The count of a leader's time at tenths: its first 10 characters and a 0, blanks removed.
int32_t leaderTenths(std::string_view time);

// Sends board rows first .. last in order (rowNo counts), each followed by a pause of
// pauseMs (BoardOutput::sendRows).
void sendRows(CrossContext& c, int first, int last, int pauseMs);

// Rows 1 to 3 and an empty line to the output log, which then keeps its newest 38 lines.
void logShownRows(CrossContext& c);

// The scroll row count of CROSS-1 from the text of Eddan: outside 0 to 10 it counts as the
// nearest of them; a text that is not a whole number is EConvertError, which stops the
// display.
int scrollRowCount(std::string_view text);

// The drawing and sending of one pattern (the pass row is marked shown by the caller).
void showScrollRows(CrossContext& c, const PassTexts& t, int scrollRows);  // CROSS-1, CROSS-2
void showDifference(CrossContext& c, const PassTexts& t);                  // CROSS-3
void showRank(CrossContext& c, const PassTexts& t, std::string_view shownTenths);  // CROSS-4
void showRelay(CrossContext& c, const PassTexts& t);                               // relay

}  // namespace qpane::cross
