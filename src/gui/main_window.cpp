#include "gui/main_window.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>

#include "app/fqpane.h"
#include "controls/cute_button.h"
#include "gui/control_binder.h"
#include "gui/face_actions.h"
#include "gui/link_status_bar.h"
#include "gui/live_page_dialog.h"
#include "gui/pages.h"
#include "gui/panel_widget.h"
#include "gui/port_map_dialog.h"
#include "gui/result_list_dialog.h"
#include "gui/widget_maker.h"
#include "gui/window_font.h"
#include "serial/serial_device_list.h"

namespace qpane {

MainWindow::MainWindow(TFqpane& core, QtScheduler& scheduler, QWidget* parent)
    : QWidget(parent), core_(core), actions_(std::make_unique<FaceActions>(core, scheduler)) {
    setObjectName(QString::fromStdString(core_.Fqpane.name()));
    setFixedSize(kWidth, kHeight);
    setFont(windowFont());
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    black.setColor(QPalette::WindowText, Qt::white);
    setPalette(black);
    setAutoFillBackground(true);

    binder_ = new ControlBinder(*this, *actions_);
    WidgetMaker make(*binder_);
    buildFrame(make);
    binder_->finish();
    // "×" asks from inside a handler; the close runs the shut-down after it.
    core_.onCloseRequest = [this] {
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    };
}

MainWindow::~MainWindow() {
    core_.onCloseRequest = nullptr;
    core_.controls.setObserver(nullptr);
}

void MainWindow::buildFrame(WidgetMaker& make) {
    // The window and its pages show themselves: the caption as the title, a page as its tab
    // and as the page shown. The focus in them is in no control of their own.
    binder_->bind(
        core_.Fqpane, *this,
        [this] { setWindowTitle(QString::fromStdString(core_.Fqpane.caption())); },
        /*holdsFocus=*/false);
    pages_ = make.widgetOf(this, core_.PageControl1,
                           QRect(0, kTabRowHeight + 1, kWidth, kHeight - kTabRowHeight - 1));
    Page* pageControls[] = {&core_.TabSheet1, &core_.TabSheet2, &core_.TabSheet3, &core_.TabSheet4};
    void (*builders[])(QWidget*, TFqpane&, WidgetMaker&) = {
        buildBoardControlPage, buildDataCheckPage, buildPatternPage, buildMaintenancePage};
    for (size_t i = 0; i < tabs_.size(); ++i) {
        Page* control = pageControls[i];
        pageControls_[i] = control;
        auto* page = new QWidget(pages_);
        page->setObjectName(QString::fromStdString(control->name()));
        pages_->addWidget(page);
        builders[i](page, core_, make);
        if (i == 0) buildPortMapButton(page);

        auto* tab = new QPushButton(this);
        tab->setObjectName(QString::fromStdString(control->name()) + QStringLiteral("Tab"));
        tab->setGeometry(static_cast<int>(i) * kTabWidth, 2, kTabWidth, kTabRowHeight - 3);
        tab->setCheckable(true);
        tabs_[i] = tab;
        connect(tab, &QPushButton::clicked, this, [this, control] {
            actions_->run(control, [this, control] { core_.showPage(*control); });
        });
        binder_->bind(
            *control, *page,
            [this, tab, control] {
                tab->setText(QString::fromStdString(control->caption()));
                showActivePage();
            },
            /*holdsFocus=*/false);
    }

    // The tab cover: over the whole row of tab buttons.
    make.widgetOf(this, core_.Panel1, QRect(0, 0, 500, kTabRowHeight))->raise();

    TCuteButton* close = make.widgetOf(this, core_.CuteButton2, QRect(kWidth - 34, 1, 32, 27));
    buildResultListButton();
    // Between the tab cover and the live page's button.
    linkStatus_ = new LinkStatusBar(core_, *actions_, this);
    linkStatus_->setGeometry(502, 1, kLinkStatusWidth, kTabRowHeight - 1);
    QFont bold = close->font();
    bold.setBold(true);
    bold.setPixelSize(27);
    close->setFont(bold);
    close->setFontColor(QColor(255, 255, 0));
}

// The result lists are the face's own: a button in the free part of the tab row, left of the
// close button, that no control of the window occupies.
void MainWindow::buildResultListButton() {
    auto* button = new QPushButton(QStringLiteral("結果リスト"), this);
    button->setObjectName(QStringLiteral("ResultListButton"));
    button->setGeometry(kWidth - 34 - 4 - kResultListButtonWidth, 2, kResultListButtonWidth,
                        kTabRowHeight - 3);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QPushButton::clicked, this, [this] { showResultLists(); });
}

// The port map is the face's own: a button on the board control page, in the free space
// right of the scroll time and ranking fields and under the apply button.
void MainWindow::buildPortMapButton(QWidget* page) {
    auto* button = new QPushButton(QStringLiteral("ポートの割り当て…"), page);
    button->setObjectName(QStringLiteral("PortMapButton"));
    button->setGeometry(600, 430, 140, 26);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QPushButton::clicked, this, [this] { showPortMap(); });
}

void MainWindow::showPortMap() {
    if (portMap_) return;
    portMap_ = new PortMapDialog(core_.portMap(), listSerialDevices(), this);
    portMap_->setAttribute(Qt::WA_DeleteOnClose);
    connect(portMap_, &QDialog::accepted, this, [this] {
        const PortMap map = portMap_->map();
        actions_->run(nullptr, [this, map] { core_.setPortMap(map); });
    });
    connect(portMap_, &QObject::destroyed, this, [this] { portMap_ = nullptr; });
    portMap_->show();
}

// The live page is the face's own as well: a button left of the result lists' one.
void MainWindow::setLiveFeed(WebFeed& feed, const QString& listen) {
    liveFeed_ = &feed;
    liveListen_ = listen;
    auto* button = new QPushButton(QStringLiteral("速報ページ"), this);
    button->setObjectName(QStringLiteral("LivePageButton"));
    button->setGeometry(kWidth - 34 - 2 * (4 + kResultListButtonWidth), 2, kResultListButtonWidth,
                        kTabRowHeight - 3);
    button->setFocusPolicy(Qt::NoFocus);
    button->show();
    connect(button, &QPushButton::clicked, this, [this] { showLivePage(); });
}

void MainWindow::showLivePage() {
    if (!liveFeed_) return;
    if (!livePage_) livePage_ = new LivePageDialog(*liveFeed_, liveListen_, this);
    livePage_->show();
    livePage_->raise();
    livePage_->activateWindow();
}

void MainWindow::showResultLists() {
    if (!resultLists_) resultLists_ = new ResultListDialog(core_, this);
    resultLists_->show();
    resultLists_->raise();
    resultLists_->activateWindow();
}

QWidget* MainWindow::currentPage() const {
    return pages_->currentWidget();
}

void MainWindow::showActivePage() {
    const Control* active = core_.activePage();
    for (size_t i = 0; i < tabs_.size(); ++i) {
        const bool current = pageControls_[i] == active;
        tabs_[i]->setChecked(current);
        if (current) pages_->setCurrentIndex(static_cast<int>(i));
    }
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_) return;
    shown_ = true;
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    // After the window has been painted once.
    QMetaObject::invokeMethod(
        this, [this] { startUp(); }, Qt::QueuedConnection);
}

void MainWindow::startUp() {
    actions_->run(nullptr, [this] { core_.FormShow(); });
    actions_->run(nullptr, [this] {
        started_ = true;
        emit startUpDone();
    });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (closed_) {
        event->accept();
        return;
    }
    // The window stays until the shut-down has run, after whatever handler runs now.
    event->ignore();
    if (closing_) return;
    closing_ = true;
    actions_->run(nullptr, [this] { shutDown(); });
    actions_->run(nullptr, [this] {
        closed_ = true;
        emit closed();
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    });
}

void MainWindow::shutDown() {
    core_.FormClose();
}

}  // namespace qpane
