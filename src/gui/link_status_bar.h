#pragma once

#include <QWidget>

#include <array>

class QPushButton;
class QTimer;

namespace qpane {

class FaceActions;
class TFqpane;

// The state of both links, always in view: two lines in the free part of the tab row (no
// control of the window is there), one per port, from the core's LinkStatus on a timer. A line
// turns red when the core raises its alarm; a link that came back is reopened by
// a click on its line, and only then.
class LinkStatusBar : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kRefreshMs = 500;

    LinkStatusBar(TFqpane& core, FaceActions& actions, QWidget* parent);
    QPushButton* line(int link) const { return lines_[static_cast<size_t>(link - 1)]; }
    // Reads the core's state now (the timer does so every kRefreshMs).
    void refresh();

  private:
    TFqpane& core_;
    FaceActions& actions_;
    std::array<QPushButton*, 2> lines_{};
    QTimer* timer_ = nullptr;
};

}  // namespace qpane
