// Built by the tests of the widget maker (see CMakeLists.txt): it compiles with a button and
// must not compile with a timer.
#include "app/fqpane.h"
#include "gui/widget_maker.h"

namespace qpane {

void probeWidgetMaker(WidgetMaker& make, QWidget* parent, TFqpane& core) {
#ifdef QPANE_PROBE_WIDGET_OF_A_TIMER
    make.widgetOf(parent, core.Timer1, QRect());
#else
    make.widgetOf(parent, core.CuteButton1, QRect());
#endif
}

}  // namespace qpane
