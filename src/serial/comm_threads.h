#pragma once

#include <memory>
#include <thread>

#include "serial/comm_session.h"

namespace qpane {

// The transmit thread of an open port: writes the chunks that Write queues, in order, and
// posts a transmitted notification for each. The thread's body holds only the session, so
// the object that owns the thread may be destroyed once it has been joined or detached.
class TCommTransThread {
  public:
    // Starts the thread; std::system_error when it cannot be created.
    explicit TCommTransThread(std::shared_ptr<CommSession> session);
    ~TCommTransThread();  // joins
    TCommTransThread(const TCommTransThread&) = delete;
    TCommTransThread& operator=(const TCommTransThread&) = delete;

    void join();

  private:
    static void run(const std::shared_ptr<CommSession>& session);
    std::thread thread_;
};

// The receive thread of an open port: waits for port events and sends the error, signal and
// received notifications, waiting each time until the user-interface thread has run them.
class TCommReceiveThread {
  public:
    explicit TCommReceiveThread(std::shared_ptr<CommSession> session);
    ~TCommReceiveThread();  // joins unless detached
    TCommReceiveThread(const TCommReceiveThread&) = delete;
    TCommReceiveThread& operator=(const TCommReceiveThread&) = delete;

    void join();
    // Lets the thread end on its own; it touches nothing but its session.
    void detach();

  private:
    static void run(const std::shared_ptr<CommSession>& session);
    std::thread thread_;
};

}  // namespace qpane
