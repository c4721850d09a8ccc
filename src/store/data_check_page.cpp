// The data check page: its grid shows the run-1 or pass times when the page is opened.
#include "app/fqpane.h"

namespace qpane {

void TFqpane::TabSheet2Show() {
    if (patternNo <= 4) return;  // the grid keeps the ranking the alpine pattern left in it
    Qtimedp.SQL().Clear();
    Qtimedp.SQL().Add("select bib,time1 from timedata where time1<>'' order by time1,bib desc");
    Qtimedp.Open();
}

}  // namespace qpane
