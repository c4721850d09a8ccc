#pragma once

#include <QTimer>

namespace qpane {

class TCuteButton;

// The delay timer of a drop-down: made on a press when the button has a DropDownDelay, freed
// when it fires or when the press ends first. Firing hands over to the button it serves.
class TCuteButtonTimer : public QTimer {
    Q_OBJECT
  public:
    TCuteButtonTimer(TCuteButton* button, int delayMs);

    TCuteButton* cuteButton() const { return FCuteButton; }

  private:
    TCuteButton* FCuteButton;
};

}  // namespace qpane
