// The data check page: the traffic of the race and the ranking last computed.
#include <QSplitter>

#include "app/fqpane.h"
#include "gui/grid_view.h"
#include "gui/memo_view.h"
#include "gui/pages.h"
#include "gui/widget_maker.h"

namespace qpane {

namespace {
constexpr int kMemo1Height = 448;
}

void buildDataCheckPage(QWidget* page, TFqpane& core, WidgetMaker& make) {
    make.label(page, "LabelMemo1", QStringLiteral("入力データ"), QRect(8, 4, 200, 18));
    auto* splitter = new QSplitter(Qt::Vertical, page);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    splitter->setGeometry(8, 24, 300, 612);
    splitter->setChildrenCollapsible(false);
    splitter->setHandleWidth(5);
    splitter->setStyleSheet(QStringLiteral("QSplitter::handle { background: black; }"));
    MemoView* input = make.widgetOf(splitter, core.Memo1, QRect());
    MemoView* queue = make.widgetOf(splitter, core.Memo2, QRect());
    splitter->addWidget(input);
    splitter->addWidget(queue);
    splitter->setSizes({kMemo1Height, 612 - kMemo1Height - splitter->handleWidth()});

    make.label(page, "LabelMemo3", QStringLiteral("出力データ"), QRect(316, 4, 200, 18));
    make.widgetOf(page, core.Memo3, QRect(316, 24, 300, 612));
    make.widgetOf(page, core.DBGrid1, QRect(624, 24, 272, 612));

    // Never shown to the operator.
    make.widgetOf(page, core.Memo4, QRect(316, 24, 300, 200));
    make.widgetOf(page, core.Memo5, QRect(316, 230, 300, 200));
    make.widgetOf(page, core.Edit1, QRect(624, 24, 272, 22));
    make.widgetOf(page, core.Edit3, QRect(624, 50, 272, 22));
    make.widgetOf(page, core.Button1, QRect(624, 80, 80, 25));
    make.widgetOf(page, core.Button2, QRect(712, 80, 80, 25));
}

}  // namespace qpane
