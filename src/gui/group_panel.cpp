// The group panel of the board control page: groups assigned to bib ranges of a block.
#include "app/fqpane.h"
#include "gui/pages.h"
#include "gui/panel_widget.h"
#include "gui/widget_factory.h"

namespace qpane {

void buildGroupPanel(QWidget* page, TFqpane& core) {
    // Over the board commands while it is open.
    PanelWidget* panel = make::panel(page, "Panel6", QRect(16, 64, 265, 465));
    make::label(panel, "LabelSPE", QStringLiteral("Block"), QRect(12, 12, 96, 22));
    make::spinEdit(panel, "SPE", QRect(112, 12, 60, 22));
    make::label(panel, "LabelSpEgr", QStringLiteral("Group No."), QRect(12, 40, 96, 22));
    make::spinEdit(panel, "SpEgr", QRect(112, 40, 60, 22));
    make::label(panel, "LabelSpEs", QStringLiteral("Begin bib No."), QRect(12, 68, 96, 22));
    make::spinEdit(panel, "SpEs", QRect(112, 68, 60, 22));
    make::label(panel, "LabelSpEe", QStringLiteral("End bib No."), QRect(12, 96, 96, 22));
    make::spinEdit(panel, "SpEe", QRect(112, 96, 60, 22));
    make::button(panel, "CuteButton6", QRect(180, 12, 76, 50));
    make::button(panel, "CuteButton7", QRect(180, 68, 76, 24));
    make::button(panel, "CuteButton9", QRect(180, 96, 76, 24));
    make::grid(panel, core.DBGrid3,
               {{"bib", QStringLiteral("Bib"), Qt::AlignLeft | Qt::AlignVCenter, 70},
                {"grp", QStringLiteral("Gr."), Qt::AlignLeft | Qt::AlignVCenter, 70},
                {"block", QStringLiteral("Block"), Qt::AlignRight | Qt::AlignVCenter, 70}},
               QRect(12, 128, 241, 325));
}

}  // namespace qpane
