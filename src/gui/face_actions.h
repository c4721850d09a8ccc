#pragma once

#include <functional>
#include <memory>

namespace qpane {

class Control;
class QtScheduler;
class TFqpane;

// How the window enters the core. Every operator action runs through the scheduler, so that it
// waits for the handler that is running (never inside one of its pauses), and through
// TFqpane::dispatch, so that an error that ends it reaches the standard error report.
class FaceActions {
  public:
    FaceActions(TFqpane& core, QtScheduler& scheduler);
    ~FaceActions();
    FaceActions(const FaceActions&) = delete;
    FaceActions& operator=(const FaceActions&) = delete;

    TFqpane& core() const { return core_; }

    // Runs the operator's use of control (nullptr for the window itself). When the action
    // gets its turn, the window may refuse that control (covered by a panel, disabled): the
    // action is then dropped. The after-action hook runs either way, so that the widget shows
    // what the core holds, not what the operator tried.
    void run(Control* control, std::function<void()> action);

    void setAfterAction(std::function<void(Control*)> hook) { afterAction_ = std::move(hook); }

  private:
    TFqpane& core_;
    QtScheduler& scheduler_;
    std::function<void(Control*)> afterAction_;
    // Actions that wait in the scheduler outlive the window when it closes first.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace qpane
