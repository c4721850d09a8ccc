#include "gated_device.h"

namespace qpane {

namespace {

class GatedDevice final : public CommDevice {
  public:
    explicit GatedDevice(std::shared_ptr<GatedDevices::State> s) : s_(std::move(s)) {}
    std::string name() const override { return "gated"; }
    bool setBufferSizes(int in, int out) override { return in > 0 && out > 0; }
    bool getState(CommDcb&) override { return true; }
    bool setState(const CommDcb&) override { return true; }
    bool setTimeouts(const CommTimeouts&) override { return true; }
    bool setEventMask(uint32_t) override { return true; }
    bool waitEvent(uint32_t& events) override {
        events = 0;
        std::unique_lock lock(s_->mutex);
        s_->changed.wait(lock, [&] { return s_->cancelled || s_->closed; });
        s_->cancelled = false;
        return false;
    }
    void cancelWait() override {
        std::lock_guard lock(s_->mutex);
        s_->cancelled = true;
        s_->changed.notify_all();
    }
    uint32_t takeLineErrors() override { return 0; }
    int inQueueCount() override { return 0; }
    int read(void*, int) override { return 0; }
    int write(const void* buffer, int count) override {
        std::unique_lock lock(s_->mutex);
        ++s_->started;
        const unsigned purges = s_->purges;
        s_->changed.notify_all();
        s_->changed.wait(lock,
                         [&] { return s_->allowed > 0 || s_->purges != purges || s_->closed; });
        int result = 0;
        if (s_->allowed > 0 && s_->purges == purges) {
            --s_->allowed;
            s_->written.append(static_cast<const char*>(buffer), static_cast<size_t>(count));
            result = count;
        }
        ++s_->done;
        s_->changed.notify_all();
        return result;
    }
    void purgeOutput() override {
        std::lock_guard lock(s_->mutex);
        ++s_->purges;
        s_->changed.notify_all();
    }
    void purgeInput() override {}
    void setRts(bool) override {}
    void setDtr(bool) override {}
    bool lost() const override { return false; }
    void close() override {
        std::lock_guard lock(s_->mutex);
        s_->closed = true;
        s_->changed.notify_all();
    }

  private:
    std::shared_ptr<GatedDevices::State> s_;
};

}  // namespace

std::unique_ptr<CommDevice> GatedDevices::open(int) {
    std::lock_guard lock(state_->mutex);
    state_->closed = false;
    state_->cancelled = false;
    return std::make_unique<GatedDevice>(state_);
}

void GatedDevices::allow(int n) {
    std::lock_guard lock(state_->mutex);
    state_->allowed += n;
    state_->changed.notify_all();
}

int GatedDevices::writesStarted() const {
    std::lock_guard lock(state_->mutex);
    return state_->started;
}

int GatedDevices::writesDone() const {
    std::lock_guard lock(state_->mutex);
    return state_->done;
}

std::string GatedDevices::written() const {
    std::lock_guard lock(state_->mutex);
    return state_->written;
}

}  // namespace qpane
