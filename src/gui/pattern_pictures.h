#pragma once

class QPainter;
class QRect;

namespace qpane {

// Draws a small picture of the board as output pattern patternNo (1 to 5 ALPINE-1 to
// ALPINE-5, 11 to 14 CROSS-1 to CROSS-4) fills it: its first rows, each with the row letter,
// what the row holds (bib, time, rank or difference) and its role in a word beside it.
void drawPatternPicture(QPainter& painter, const QRect& area, int patternNo);

}  // namespace qpane
