// The board control page: board commands and brightness, ports and their settings, the
// connection mode, the apply button, scroll time and ranking limit.
#include <QGroupBox>
#include <QLabel>

#include "app/fqpane.h"
#include "controls/cute_button.h"
#include "gui/pages.h"
#include "gui/panel_widget.h"
#include "gui/widget_factory.h"

namespace qpane {

namespace {

void buildBoardCommands(QWidget* page, TFqpane& core) {
    QWidget* frame =
        make::frame(page, "FrameBoard", QStringLiteral("ボード調整"), QRect(32, 24, 232, 300));
    make::button(frame, "CuteButton28", QRect(20, 28, 192, 36));
    make::button(frame, "CuteButton29", QRect(20, 72, 192, 36));
    make::button(frame, "CuteButton58", QRect(20, 116, 192, 36));
    make::button(frame, "CuteButton61", QRect(20, 160, 192, 36));
    make::label(frame, "LabelTBarbright", QStringLiteral("明るさ"), QRect(20, 220, 120, 18));
    make::trackBar(frame, core.TBarbright, QRect(20, 244, 120, 34));
    make::button(frame, "CuteButton1", QRect(148, 240, 64, 40));
    // Over the commands until the ports have been applied once.
    make::panel(page, "Panel4", QRect(40, 48, 216, 268));
}

void buildPortChoices(QWidget* page, TFqpane& core) {
    make::radioGroup(page, core.RGport, 1, QRect(296, 16, 140, 300));
    make::radioGroup(page, core.RGport2, 1, QRect(448, 16, 140, 300));
    make::radioGroup(page, core.RGinout, 2, QRect(600, 16, 136, 72));
    make::radioGroup(page, core.RGchar, 2, QRect(748, 16, 136, 72));
    make::radioGroup(page, core.RGbitin, 1, QRect(600, 100, 136, 96));
    make::radioGroup(page, core.RGbitout, 1, QRect(600, 100, 136, 96));
    make::radioGroup(page, core.RGparity, 1, QRect(748, 100, 136, 96));

    PanelWidget* mode = make::panel(page, "Panel2", QRect(600, 208, 284, 108));
    // White reads on the blue of the mode in use and on the grey of the other.
    make::button(mode, "CTBd", QRect(12, 30, 124, 64))->setFontColor(Qt::white);
    make::button(mode, "CTBb", QRect(148, 30, 124, 64))->setFontColor(Qt::white);

    make::button(page, "CuteButton3", QRect(600, 332, 284, 84));
}

void buildRunSettings(QWidget* page) {
    make::label(page, "LabelSpinEdit1", QStringLiteral("スクロールタイム"),
                QRect(296, 334, 120, 22));
    make::spinEdit(page, "SpinEdit1", QRect(420, 332, 64, 24));
    make::label(page, "LabelSPEnin", QStringLiteral("ランキング"), QRect(296, 370, 120, 22));
    make::spinEdit(page, "SPEnin", QRect(420, 368, 64, 24));
    make::label(page, "LabelSPEninUnit", QStringLiteral("まで"), QRect(490, 370, 40, 22));
}

}  // namespace

void buildBoardControlPage(QWidget* page, TFqpane& core) {
    buildBoardCommands(page, core);
    buildPortChoices(page, core);
    buildRunSettings(page);
    make::button(page, "Button3", QRect(32, 540, 232, 32));
    buildGroupPanel(page, core);
    QLabel* version = make::label(page, "Label1", QString(), QRect(784, 612, 100, 20));
    version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

}  // namespace qpane
