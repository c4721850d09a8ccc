#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "web/listen_address.h"
#include "web/snapshot_box.h"

namespace qpane::web {

// The server could not start (the address is taken, or not one of this machine).
class WebServerError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// What the server lets one client and all of them use, so that many followers and malformed
// or slow requests cannot stall it or grow its memory.
struct WebLimits {
    size_t connections = 256;         // connections served at once; more get 503 and are closed
    size_t followers = 224;           // of them, at most this many following /events
    size_t requestBytes = 16 * 1024;  // request line and headers of one request
    std::chrono::milliseconds readTimeout{5000};
    std::chrono::milliseconds writeTimeout{5000};
    std::chrono::milliseconds keepAlive{5000};  // an idle connection is closed after it
    size_t requestsPerConnection = 100;
    std::chrono::milliseconds heartbeat{15000};  // a comment on a quiet event stream
    std::chrono::milliseconds eventGap{100};     // at most one event per gap and follower
};

// The live results page: serves the snapshots of a SnapshotBox over HTTP, GET and HEAD only.
// Its threads read snapshots and nothing else of the console.
class WebServer {
  public:
    explicit WebServer(SnapshotBox& box, WebLimits limits = {});
    ~WebServer();
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    // Binds and starts serving. Throws WebServerError naming the address when it cannot bind,
    // or when the server runs already.
    void start(const ListenAddress& address);
    // Closes every connection and ends every thread of the server before it returns.
    void stop();
    bool running() const;

    // The port bound (the free port chosen for port 0); 0 when not running.
    int port() const;
    // "http://host:port/" for the page; for an address of every network, the host is this
    // machine's name on the network as far as it can be found.
    std::string pageAddress() const;

    // Followers of /events now (for the face's status and the tests).
    size_t followers() const;

  private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace qpane::web
