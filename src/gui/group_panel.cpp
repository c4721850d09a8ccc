// The group panel of the board control page: groups assigned to bib ranges of a block.
#include "app/fqpane.h"
#include "gui/pages.h"
#include "gui/panel_widget.h"
#include "gui/widget_maker.h"

namespace qpane {

void buildGroupPanel(QWidget* page, TFqpane& core, WidgetMaker& make) {
    // Over the board commands while it is open.
    PanelWidget* panel = make.widgetOf(page, core.Panel6, QRect(16, 64, 265, 465));
    make.label(panel, "LabelSPE", QStringLiteral("Block"), QRect(12, 12, 96, 22));
    make.widgetOf(panel, core.SPE, QRect(112, 12, 60, 22));
    make.label(panel, "LabelSpEgr", QStringLiteral("Group No."), QRect(12, 40, 96, 22));
    make.widgetOf(panel, core.SpEgr, QRect(112, 40, 60, 22));
    make.label(panel, "LabelSpEs", QStringLiteral("Begin bib No."), QRect(12, 68, 96, 22));
    make.widgetOf(panel, core.SpEs, QRect(112, 68, 60, 22));
    make.label(panel, "LabelSpEe", QStringLiteral("End bib No."), QRect(12, 96, 96, 22));
    make.widgetOf(panel, core.SpEe, QRect(112, 96, 60, 22));
    make.widgetOf(panel, core.CuteButton6, QRect(180, 12, 76, 50));
    make.widgetOf(panel, core.CuteButton7, QRect(180, 68, 76, 24));
    make.widgetOf(panel, core.CuteButton9, QRect(180, 96, 76, 24));
    make.widgetOf(panel, core.DBGrid3, QRect(12, 128, 241, 325),
                  {{"bib", QStringLiteral("Bib"), Qt::AlignLeft | Qt::AlignVCenter, 70},
                   {"grp", QStringLiteral("Gr."), Qt::AlignLeft | Qt::AlignVCenter, 70},
                   {"block", QStringLiteral("Block"), Qt::AlignRight | Qt::AlignVCenter, 70}});
}

}  // namespace qpane
