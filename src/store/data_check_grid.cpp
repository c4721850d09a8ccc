#include "store/data_check_grid.h"

#include "store/query.h"

namespace qpane {

void showDataCheckGrid(TQuery& Qtimedp, int patternNo) {
    if (patternNo <= 4) return;  // the grid keeps the ranking the alpine pattern left in it
    Qtimedp.SQL().Clear();
    Qtimedp.SQL().Add("select bib,time1 from timedata where time1<>'' order by time1,bib desc");
    Qtimedp.Open();
}

}  // namespace qpane
