#pragma once

#include <QLabel>
#include <QWidget>

namespace qpane {

class TCuteButton;

// Buttons in their looks and states, the buttons of the main window in their colours, and the
// drop-down and slow-click options to try; the label at the bottom reports what happened.
class DemoWindow : public QWidget {
    Q_OBJECT
  public:
    explicit DemoWindow(QWidget* parent = nullptr);

    // The button that shows the focus rectangle; it is given the focus for the screenshot.
    TCuteButton* focusSample() const { return focusSample_; }

  private:
    TCuteButton* addButton(int row, int column, const QString& caption);
    void report(const QString& text);

    QLabel* status_ = nullptr;
    TCuteButton* focusSample_ = nullptr;
    int slowClicks_ = 0;
};

}  // namespace qpane
