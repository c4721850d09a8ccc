#include "gui/face_actions.h"

#include "app/fqpane.h"
#include "platform/qt/qt_scheduler.h"

namespace qpane {

FaceActions::FaceActions(TFqpane& core, QtScheduler& scheduler)
    : core_(core), scheduler_(scheduler) {}

FaceActions::~FaceActions() {
    *alive_ = false;
}

void FaceActions::run(Control* control, std::function<void()> action) {
    std::weak_ptr<bool> alive = alive_;
    scheduler_.run([this, alive, control, action = std::move(action)] {
        const auto token = alive.lock();
        if (!token || !*token) return;
        core_.dispatch([&] {
            if (control && core_.refuses(*control)) return;
            action();
        });
        if (afterAction_) afterAction_(control);
    });
}

}  // namespace qpane
