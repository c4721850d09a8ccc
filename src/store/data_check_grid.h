#pragma once

namespace qpane {

class TQuery;

// The grid of the data check page (Qtimedp) when the page is opened: the run-1 times, or the
// pass times of a cross-country pattern. Under ALPINE-1 to 4 it keeps the ranking that the
// pattern left in it.
void showDataCheckGrid(TQuery& Qtimedp, int patternNo);

}  // namespace qpane
