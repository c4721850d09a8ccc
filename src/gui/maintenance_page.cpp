// The maintenance page: stored results listed, filtered, and one competitor's times written.
#include <QLineEdit>

#include "app/fqpane.h"
#include "gui/grid_view.h"
#include "gui/pages.h"
#include "gui/panel_widget.h"
#include "gui/widget_maker.h"

namespace qpane {

void buildMaintenancePage(QWidget* page, TFqpane& core, WidgetMaker& make) {
    PanelWidget* panel = make.widgetOf(page, core.Panel3, QRect(0, 0, 904, 648));
    GridView* grid =
        make.widgetOf(panel, core.DBGrid2, QRect(16, 16, 430, 612),
                      {{"bib", QStringLiteral("Bib"), Qt::AlignLeft | Qt::AlignVCenter, 56},
                       {"time1", QStringLiteral("Time1"), Qt::AlignLeft | Qt::AlignVCenter, 96},
                       {"time2", QStringLiteral("Time2"), Qt::AlignLeft | Qt::AlignVCenter, 96},
                       {"totalt", QStringLiteral("Totalt"), Qt::AlignLeft | Qt::AlignVCenter, 96},
                       {"block", QStringLiteral("BLOCK"), Qt::AlignLeft | Qt::AlignVCenter, 56}});
    grid->setFocusPolicy(Qt::ClickFocus);  // not reachable with Tab

    make.label(panel, "LabelSpE2", QStringLiteral("Block"), QRect(470, 20, 110, 22));
    make.widgetOf(panel, core.SpE2, QRect(590, 20, 64, 22));
    make.label(panel, "LabelEdit4", QStringLiteral("Begin bib No."), QRect(470, 52, 110, 22));
    make.widgetOf(panel, core.Edit4, QRect(590, 52, 64, 22));
    make.label(panel, "LabelEdit5", QStringLiteral("End bib No."), QRect(470, 84, 110, 22));
    make.widgetOf(panel, core.Edit5, QRect(590, 84, 64, 22));
    make.widgetOf(panel, core.CuteButton8, QRect(470, 120, 184, 36));

    make.label(panel, "LabelEdit2", QStringLiteral("Bib"), QRect(470, 200, 110, 22));
    make.widgetOf(panel, core.Edit2, QRect(590, 200, 64, 22))->setReadOnly(true);
    make.label(panel, "LabelME1", QStringLiteral("Time 1st"), QRect(470, 232, 110, 22));
    make.widgetOf(panel, core.ME1, QRect(590, 232, 110, 22));
    make.label(panel, "LabelME2", QStringLiteral("Time 2nd"), QRect(470, 264, 110, 22));
    make.widgetOf(panel, core.ME2, QRect(590, 264, 110, 22));
    make.widgetOf(panel, core.CuteButton4, QRect(470, 300, 230, 40));
}

}  // namespace qpane
