// The widgets of the kinds that show and are clicked: the page stack, panels, labels,
// buttons, pattern images, memos and grids.
#include <QLabel>
#include <QStackedWidget>

#include "controls/cute_button.h"
#include "gui/face_actions.h"
#include "gui/grid_view.h"
#include "gui/memo_view.h"
#include "gui/panel_widget.h"
#include "gui/pattern_image.h"
#include "gui/widget_maker.h"
#include "gui/window_font.h"
#include "input/memo.h"
#include "store/grid_control.h"
#include "store/query.h"

namespace qpane {

namespace {
QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
QColor colorOf(uint32_t rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}
void click(Control& c) {
    if (c.OnClick) c.OnClick();
}
}  // namespace

QStackedWidget* WidgetMaker::widgetOf(QWidget* parent, PageControl& c, QRect geometry) {
    // The stack of pages: nothing of its own to show; the window shows its pages.
    auto* w = new QStackedWidget(parent);
    bindWidget(c, w, geometry, nullptr);
    return w;
}

PanelWidget* WidgetMaker::widgetOf(QWidget* parent, Panel& c, QRect geometry) {
    auto* w = new PanelWidget(parent);
    bindWidget(c, w, geometry, [&c, w] {
        w->setColor(colorOf(c.color()));
        w->setCaption(qs(c.caption()));
    });
    return w;
}

QLabel* WidgetMaker::widgetOf(QWidget* parent, Label& c, QRect geometry) {
    auto* w = new QLabel(parent);
    w->setTextFormat(Qt::PlainText);
    bindWidget(c, w, geometry, [&c, w] { w->setText(qs(c.caption())); });
    return w;
}

TCuteButton* WidgetMaker::widgetOf(QWidget* parent, Button& c, QRect geometry) {
    auto* w = new TCuteButton(parent);
    QObject::connect(w, &TCuteButton::clicked, w,
                     [&a = actions_, &c] { a.run(&c, [&c] { click(c); }); });
    bindWidget(c, w, geometry, [&c, w] {
        w->setCaption(qs(c.caption()));
        w->setColor(colorOf(c.color()));
    });
    return w;
}

PatternImage* WidgetMaker::widgetOf(QWidget* parent, Image& c, QRect geometry, int patternNo) {
    auto* w = new PatternImage(patternNo, parent);
    QObject::connect(w, &PatternImage::clicked, w,
                     [&a = actions_, &c] { a.run(&c, [&c] { click(c); }); });
    bindWidget(c, w, geometry, [&c, w] { w->setCaption(qs(c.caption())); });
    return w;
}

MemoView* WidgetMaker::widgetOf(QWidget* parent, Memo& c, QRect geometry) {
    auto* w = new MemoView(parent);
    w->setFont(fixedPitchFont());
    // The view follows the lines itself; the binding shows whether the memo is visible.
    w->bind(c);
    bindWidget(c, w, geometry, nullptr);
    return w;
}

GridView* WidgetMaker::widgetOf(QWidget* parent, GridControl& c, QRect geometry,
                                std::vector<GridColumn> columns) {
    auto* w = new GridView(c.query(), std::move(columns), parent);
    w->setFont(fixedPitchFont());
    QObject::connect(w, &GridView::rowMoved, w, [&a = actions_, &c](int row) {
        a.run(&c, [&c, row] { c.query().setRecNo(row); });
    });
    QObject::connect(w, &GridView::rowClicked, w, [&a = actions_, &c](int row) {
        a.run(&c, [&c, row] {
            c.query().setRecNo(row);
            click(c);
        });
    });
    QObject::connect(w, &GridView::enterPressed, w, [&a = actions_, &c](int row) {
        a.run(&c, [&c, row] {
            if (row >= 0) c.query().setRecNo(row);
            if (c.OnKeyDown) c.OnKeyDown("Enter");
        });
    });
    // The view follows the query itself.
    bindWidget(c, w, geometry, nullptr);
    return w;
}

}  // namespace qpane
