#pragma once

#include <string>

#include "patterns/cross/cross_context.h"

// The steps that every cross-country routine takes the same way to record a pass.
namespace qpane::cross {

// The stored pass line of the pass in workLine and timeText: "1" (the place of the board
// row letter), the bib, 5 spaces and the time field. It has no line end.
std::string storedPassLine(const CrossContext& c);

// Appends the pass row of the stored pass line in workLine to crosst: uc one more than the
// largest (2 for an empty table), tm1 the new line, tm2 .. tm10 the tm1 .. tm9 of the row
// before, sumi "0". Runs on Qedit; a uc that is not a whole number is EConvertError.
void appendPassRow(CrossContext& c);

// Stores a pass: runs the update of its time that Qedit holds, then appendPassRow, in one
// commit with a full sync, so that one pass costs one sync, made before the pass display can
// show its row. A statement that fails throws EDatabaseError, what ran before it kept as if
// committed alone; a commit that fails throws EDatabaseError and keeps nothing of the pass.
void storePass(CrossContext& c);

// Brings the ranking grid to the block and group of the last pass: re-reads it when it
// shows them already, otherwise gives Qtimedp their ranking.
void showGroupRanking(CrossContext& c);

// Reads the grid's query again. A Qtimedp that has never been given a statement (a race
// started with an alpine pattern whose grid was never filled) is left alone: there is no
// grid to refresh, and the batch of lines went through.
void rereadGrid(CrossContext& c);

}  // namespace qpane::cross
