#include "serial/simulated/simulated_port_hub.h"

#include <algorithm>
#include <cstring>

namespace qpane {

namespace {

// Bytes waiting in a simulated driver. Reading from the front costs what it reads, however
// much is waiting behind it.
class InputQueue {
  public:
    size_t size() const { return bytes_.size() - head_; }
    bool empty() const { return size() == 0; }
    void append(std::string_view more) { bytes_.append(more); }
    size_t take(void* out, size_t count) {
        const size_t n = std::min(count, size());
        std::memcpy(out, bytes_.data() + head_, n);
        head_ += n;
        if (head_ == bytes_.size()) {
            clear();
        } else if (head_ > 4096 && head_ * 2 > bytes_.size()) {
            bytes_.erase(0, head_);
            head_ = 0;
        }
        return n;
    }
    void clear() {
        bytes_.clear();
        head_ = 0;
    }

  private:
    std::string bytes_;
    size_t head_ = 0;
};

}  // namespace

struct SimulatedPortHub::Port {
    std::string name;
    mutable std::mutex mutex;
    bool failing = false;
    bool open = false;
    bool lost = false;
    InputQueue input;
    std::string written;
    std::vector<std::string> writes;
    bool recordWrites = true;
    CommDcb dcb;
    CommTimeouts timeouts;
    int inBuffer = 0;
    int outBuffer = 0;
    bool rts = false;
    bool dtr = false;
    uint32_t eventMask = 0;
    CommEventSink sink;
};

namespace {

// One opening of a simulated port.
class SimulatedCommDevice final : public CommDevice {
  public:
    explicit SimulatedCommDevice(std::shared_ptr<SimulatedPortHub::Port> port)
        : port_(std::move(port)) {}
    ~SimulatedCommDevice() override { close(); }

    std::string name() const override { return port_->name; }
    bool runsThreads() const override { return false; }

    void setEventSink(CommEventSink sink) override {
        std::lock_guard lock(port_->mutex);
        if (usable()) port_->sink = std::move(sink);
    }
    bool setBufferSizes(int inQueue, int outQueue) override {
        if (inQueue < 1 || outQueue < 1) return false;
        std::lock_guard lock(port_->mutex);
        port_->inBuffer = inQueue;
        port_->outBuffer = outQueue;
        return usable();
    }
    bool getState(CommDcb& dcb) override {
        std::lock_guard lock(port_->mutex);
        dcb = port_->dcb;
        return usable();
    }
    bool setState(const CommDcb& dcb) override {
        std::lock_guard lock(port_->mutex);
        if (!usable()) return false;
        port_->dcb = dcb;
        port_->dtr = dcb.dtrControl != CommDtrControl::Disable;
        port_->rts = dcb.rtsControl != CommRtsControl::Disable;
        return true;
    }
    bool setTimeouts(const CommTimeouts& timeouts) override {
        std::lock_guard lock(port_->mutex);
        port_->timeouts = timeouts;
        return usable();
    }
    bool setEventMask(uint32_t mask) override {
        std::lock_guard lock(port_->mutex);
        port_->eventMask = mask;
        return usable();
    }
    // Nothing waits here: events come through the sink.
    bool waitEvent(uint32_t& events) override {
        events = 0;
        return false;
    }
    void cancelWait() override {}
    uint32_t takeLineErrors() override { return 0; }
    int inQueueCount() override {
        std::lock_guard lock(port_->mutex);
        return usable() ? static_cast<int>(port_->input.size()) : 0;
    }
    int read(void* buffer, int count) override {
        std::lock_guard lock(port_->mutex);
        if (!usable()) return -1;
        return static_cast<int>(port_->input.take(buffer, static_cast<size_t>(std::max(count, 0))));
    }
    int write(const void* buffer, int count) override {
        std::lock_guard lock(port_->mutex);
        if (!usable()) return -1;
        if (port_->recordWrites) {
            std::string chunk(static_cast<const char*>(buffer), static_cast<size_t>(count));
            port_->written += chunk;
            port_->writes.push_back(std::move(chunk));
        }
        return count;
    }
    void purgeOutput() override {}
    void purgeInput() override {
        std::lock_guard lock(port_->mutex);
        if (usable()) port_->input.clear();
    }
    void setRts(bool on) override {
        std::lock_guard lock(port_->mutex);
        if (usable()) port_->rts = on;
    }
    void setDtr(bool on) override {
        std::lock_guard lock(port_->mutex);
        if (usable()) port_->dtr = on;
    }
    bool lost() const override {
        std::lock_guard lock(port_->mutex);
        return !closed_ && port_->lost;
    }
    void close() override {
        std::lock_guard lock(port_->mutex);
        if (closed_) return;
        closed_ = true;
        port_->open = false;
        port_->lost = false;
        port_->sink = nullptr;
    }

  private:
    bool usable() const { return !closed_ && !port_->lost; }

    std::shared_ptr<SimulatedPortHub::Port> port_;
    bool closed_ = false;
};

}  // namespace

SimulatedPortHub::SimulatedPortHub(bool recordWrites) : recordWrites_(recordWrites) {}
SimulatedPortHub::~SimulatedPortHub() = default;

std::shared_ptr<SimulatedPortHub::Port> SimulatedPortHub::port(int portNo) const {
    std::lock_guard lock(mutex_);
    std::shared_ptr<Port>& p = ports_[portNo];
    if (!p) {
        p = std::make_shared<Port>();
        p->name = "COM" + std::to_string(portNo);
        p->recordWrites = recordWrites_;
    }
    return p;
}

std::unique_ptr<CommDevice> SimulatedPortHub::open(int portNo) {
    std::shared_ptr<Port> p = port(portNo);
    std::lock_guard lock(p->mutex);
    if (p->failing || p->open) return nullptr;
    p->open = true;
    p->lost = false;
    // What a fresh driver holds: nothing waiting, the lines down until the settings go in.
    p->input.clear();
    p->rts = false;
    p->dtr = false;
    return std::make_unique<SimulatedCommDevice>(p);
}

bool SimulatedPortHub::present(int portNo) {
    std::shared_ptr<Port> p = port(portNo);
    std::lock_guard lock(p->mutex);
    return !p->failing;
}

void SimulatedPortHub::setFailing(int portNo, bool failing) {
    std::shared_ptr<Port> p = port(portNo);
    std::lock_guard lock(p->mutex);
    p->failing = failing;
}

void SimulatedPortHub::push(int portNo, std::string_view bytes) {
    std::shared_ptr<Port> p = port(portNo);
    CommEventSink sink;
    {
        std::lock_guard lock(p->mutex);
        if (!p->open || p->lost || bytes.empty()) return;
        p->input.append(bytes);
        if (!(p->eventMask & kCommEvRxChar)) return;
        sink = p->sink;
    }
    // Outside the lock: the handler reads from this port.
    if (sink) sink(kCommEvRxChar);
}

void SimulatedPortHub::unplug(int portNo) {
    std::shared_ptr<Port> p = port(portNo);
    CommEventSink sink;
    {
        std::lock_guard lock(p->mutex);
        p->failing = true;
        if (!p->open || p->lost) return;
        p->lost = true;
        p->input.clear();
        sink = p->sink;
    }
    if (sink) sink(kCommEvErr);
}

bool SimulatedPortHub::isOpen(int portNo) const {
    std::shared_ptr<Port> p = port(portNo);
    std::lock_guard lock(p->mutex);
    return p->open;
}

std::string SimulatedPortHub::written(int portNo) const {
    std::shared_ptr<Port> p = port(portNo);
    std::lock_guard lock(p->mutex);
    return p->written;
}

std::vector<std::string> SimulatedPortHub::writes(int portNo) const {
    std::shared_ptr<Port> p = port(portNo);
    std::lock_guard lock(p->mutex);
    return p->writes;
}

void SimulatedPortHub::clearWritten(int portNo) {
    std::shared_ptr<Port> p = port(portNo);
    std::lock_guard lock(p->mutex);
    p->written.clear();
    p->writes.clear();
}

int SimulatedPortHub::waiting(int portNo) const {
    std::shared_ptr<Port> p = port(portNo);
    std::lock_guard lock(p->mutex);
    return static_cast<int>(p->input.size());
}

CommDcb SimulatedPortHub::state(int portNo) const {
    std::shared_ptr<Port> p = port(portNo);
    std::lock_guard lock(p->mutex);
    return p->dcb;
}

CommTimeouts SimulatedPortHub::timeouts(int portNo) const {
    std::shared_ptr<Port> p = port(portNo);
    std::lock_guard lock(p->mutex);
    return p->timeouts;
}

int SimulatedPortHub::inBufferSize(int portNo) const {
    std::shared_ptr<Port> p = port(portNo);
    std::lock_guard lock(p->mutex);
    return p->inBuffer;
}

int SimulatedPortHub::outBufferSize(int portNo) const {
    std::shared_ptr<Port> p = port(portNo);
    std::lock_guard lock(p->mutex);
    return p->outBuffer;
}

bool SimulatedPortHub::rts(int portNo) const {
    std::shared_ptr<Port> p = port(portNo);
    std::lock_guard lock(p->mutex);
    return p->rts;
}

bool SimulatedPortHub::dtr(int portNo) const {
    std::shared_ptr<Port> p = port(portNo);
    std::lock_guard lock(p->mutex);
    return p->dtr;
}

}  // namespace qpane
