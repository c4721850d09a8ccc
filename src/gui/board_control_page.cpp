// The board control page: board commands and brightness, ports and their settings, the
// connection mode, the apply button, scroll time and ranking limit.
#include <QGroupBox>
#include <QLabel>

#include "app/fqpane.h"
#include "controls/cute_button.h"
#include "gui/pages.h"
#include "gui/panel_widget.h"
#include "gui/widget_maker.h"

namespace qpane {

namespace {

void buildBoardCommands(QWidget* page, TFqpane& core, WidgetMaker& make) {
    QWidget* frame =
        make.frame(page, "FrameBoard", QStringLiteral("ボード調整"), QRect(32, 24, 232, 300));
    make.widgetOf(frame, core.CuteButton28, QRect(20, 28, 192, 36));
    make.widgetOf(frame, core.CuteButton29, QRect(20, 72, 192, 36));
    make.widgetOf(frame, core.CuteButton58, QRect(20, 116, 192, 36));
    make.widgetOf(frame, core.CuteButton61, QRect(20, 160, 192, 36));
    make.label(frame, "LabelTBarbright", QStringLiteral("明るさ"), QRect(20, 220, 120, 18));
    make.widgetOf(frame, core.TBarbright, QRect(20, 244, 120, 34));
    make.widgetOf(frame, core.CuteButton1, QRect(148, 240, 64, 40));
    // Over the commands until the ports have been applied once.
    make.widgetOf(page, core.Panel4, QRect(40, 48, 216, 268));
}

void buildPortChoices(QWidget* page, TFqpane& core, WidgetMaker& make) {
    make.widgetOf(page, core.RGport, QRect(296, 16, 140, 300), 1);
    make.widgetOf(page, core.RGport2, QRect(448, 16, 140, 300), 1);
    make.widgetOf(page, core.RGinout, QRect(600, 16, 136, 72), 2);
    make.widgetOf(page, core.RGchar, QRect(748, 16, 136, 72), 2);
    make.widgetOf(page, core.RGbitin, QRect(600, 100, 136, 96), 1);
    make.widgetOf(page, core.RGbitout, QRect(600, 100, 136, 96), 1);
    make.widgetOf(page, core.RGparity, QRect(748, 100, 136, 96), 1);

    PanelWidget* mode = make.widgetOf(page, core.Panel2, QRect(600, 208, 284, 108));
    // White reads on the blue of the mode in use and on the grey of the other.
    make.widgetOf(mode, core.CTBd, QRect(12, 30, 124, 64))->setFontColor(Qt::white);
    make.widgetOf(mode, core.CTBb, QRect(148, 30, 124, 64))->setFontColor(Qt::white);

    make.widgetOf(page, core.CuteButton3, QRect(600, 332, 284, 84));
}

void buildRunSettings(QWidget* page, TFqpane& core, WidgetMaker& make) {
    make.label(page, "LabelSpinEdit1", QStringLiteral("スクロールタイム"),
               QRect(296, 334, 120, 22));
    make.widgetOf(page, core.SpinEdit1, QRect(420, 332, 64, 24));
    make.label(page, "LabelSPEnin", QStringLiteral("ランキング"), QRect(296, 370, 120, 22));
    make.widgetOf(page, core.SPEnin, QRect(420, 368, 64, 24));
    make.label(page, "LabelSPEninUnit", QStringLiteral("まで"), QRect(490, 370, 40, 22));
}

}  // namespace

void buildBoardControlPage(QWidget* page, TFqpane& core, WidgetMaker& make) {
    buildBoardCommands(page, core, make);
    buildPortChoices(page, core, make);
    buildRunSettings(page, core, make);
    make.widgetOf(page, core.Button3, QRect(32, 540, 232, 32));
    buildGroupPanel(page, core, make);
    QLabel* version = make.widgetOf(page, core.Label1, QRect(784, 612, 100, 20));
    version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

}  // namespace qpane
