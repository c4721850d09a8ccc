#include "controls/cute_button_timer.h"

#include "controls/cute_button.h"

namespace qpane {

TCuteButtonTimer::TCuteButtonTimer(TCuteButton* button, int delayMs)
    : QTimer(button), FCuteButton(button) {
    setSingleShot(true);
    setInterval(delayMs);
    connect(this, &QTimer::timeout, this, [this] { FCuteButton->delayTimerFired(); });
}

}  // namespace qpane
