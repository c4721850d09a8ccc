#pragma once

#include <QWidget>

#include <array>
#include <memory>

class QPushButton;
class QStackedWidget;

namespace qpane {

class Control;
class ControlBinder;
class FaceActions;
class QtScheduler;
class ResultListDialog;
class LinkStatusBar;
class LivePageDialog;
class PortMapDialog;
class WebFeed;
class TFqpane;
class WidgetMaker;

// The window TFqpane as the operator sees it: the page control with its tab buttons, the tab
// cover, the close button and the four pages, bound to the core. Start-up (FormShow) runs
// once the window is shown; closing it runs the shut-down (FormClose) and then closed().
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kWidth = 904;
    static constexpr int kHeight = 678;
    static constexpr int kTabWidth = 120;
    static constexpr int kTabRowHeight = 29;
    static constexpr int kResultListButtonWidth = 100;
    static constexpr int kLinkStatusWidth = 156;

    // Builds the widgets of every control of the core and binds them; a control left without
    // a widget, or given two, throws BindingError: the window does not start.
    MainWindow(TFqpane& core, QtScheduler& scheduler, QWidget* parent = nullptr);
    ~MainWindow() override;

    TFqpane& core() const { return core_; }
    ControlBinder& binder() const { return *binder_; }
    QPushButton* tabButton(int index) const { return tabs_[static_cast<size_t>(index)]; }
    QWidget* currentPage() const;
    // The result lists' dialog, made when first asked for.
    void showResultLists();
    ResultListDialog* resultLists() const { return resultLists_; }
    // The live results page's switch: a button beside the result lists' one, for the feed.
    void setLiveFeed(WebFeed& feed, const QString& listen);
    void showLivePage();
    LivePageDialog* livePage() const { return livePage_; }
    LinkStatusBar* linkStatus() const { return linkStatus_; }
    // The dialog of the port map, open until the operator closes it.
    void showPortMap();
    PortMapDialog* portMap() const { return portMap_; }
    // FormShow has run (whether or not it ended in an error).
    bool started() const { return started_; }

  signals:
    void startUpDone();
    // The shut-down has run: the program ends.
    void closed();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildFrame(WidgetMaker& make);
    void buildResultListButton();
    void buildPortMapButton(QWidget* page);
    void showActivePage();
    void startUp();
    void shutDown();

    TFqpane& core_;
    std::unique_ptr<FaceActions> actions_;
    ControlBinder* binder_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    std::array<QPushButton*, 4> tabs_{};
    std::array<Control*, 4> pageControls_{};
    ResultListDialog* resultLists_ = nullptr;
    WebFeed* liveFeed_ = nullptr;
    QString liveListen_;
    LivePageDialog* livePage_ = nullptr;
    LinkStatusBar* linkStatus_ = nullptr;
    PortMapDialog* portMap_ = nullptr;
    bool shown_ = false;
    bool started_ = false;
    bool closing_ = false;
    bool closed_ = false;
};

}  // namespace qpane
