// The maintenance page: stored results listed, filtered, and one competitor's times written.
#include <QLineEdit>

#include "app/fqpane.h"
#include "gui/grid_view.h"
#include "gui/pages.h"
#include "gui/panel_widget.h"
#include "gui/widget_factory.h"

namespace qpane {

void buildMaintenancePage(QWidget* page, TFqpane& core) {
    PanelWidget* panel = make::panel(page, "Panel3", QRect(0, 0, 904, 648));
    GridView* grid =
        make::grid(panel, core.DBGrid2,
                   {{"bib", QStringLiteral("Bib"), Qt::AlignLeft | Qt::AlignVCenter, 56},
                    {"time1", QStringLiteral("Time1"), Qt::AlignLeft | Qt::AlignVCenter, 96},
                    {"time2", QStringLiteral("Time2"), Qt::AlignLeft | Qt::AlignVCenter, 96},
                    {"totalt", QStringLiteral("Totalt"), Qt::AlignLeft | Qt::AlignVCenter, 96},
                    {"block", QStringLiteral("BLOCK"), Qt::AlignLeft | Qt::AlignVCenter, 56}},
                   QRect(16, 16, 430, 612));
    grid->setFocusPolicy(Qt::ClickFocus);  // not reachable with Tab

    make::label(panel, "LabelSpE2", QStringLiteral("Block"), QRect(470, 20, 110, 22));
    make::spinEdit(panel, "SpE2", QRect(590, 20, 64, 22));
    make::label(panel, "LabelEdit4", QStringLiteral("Begin bib No."), QRect(470, 52, 110, 22));
    make::edit(panel, "Edit4", QRect(590, 52, 64, 22));
    make::label(panel, "LabelEdit5", QStringLiteral("End bib No."), QRect(470, 84, 110, 22));
    make::edit(panel, "Edit5", QRect(590, 84, 64, 22));
    make::button(panel, "CuteButton8", QRect(470, 120, 184, 36));

    make::label(panel, "LabelEdit2", QStringLiteral("Bib"), QRect(470, 200, 110, 22));
    make::edit(panel, "Edit2", QRect(590, 200, 64, 22))->setReadOnly(true);
    make::label(panel, "LabelME1", QStringLiteral("Time 1st"), QRect(470, 232, 110, 22));
    make::maskEdit(panel, "ME1", QRect(590, 232, 110, 22));
    make::label(panel, "LabelME2", QStringLiteral("Time 2nd"), QRect(470, 264, 110, 22));
    make::maskEdit(panel, "ME2", QRect(590, 264, 110, 22));
    make::button(panel, "CuteButton4", QRect(470, 300, 230, 40));
}

}  // namespace qpane
