#pragma once

#include <httplib.h>

#include <chrono>
#include <string>

namespace qpane::web {

// One client's connection as the HTTP library reads and writes it, with the limits of the
// live page: the bytes of one request are counted (past the limit the request reads as cut
// off, so that an endless header block ends the connection), and every wait is bounded.
class ConnectionStream : public httplib::Stream {
  public:
    ConnectionStream(socket_t sock, size_t requestBytes, std::chrono::milliseconds readTimeout,
                     std::chrono::milliseconds writeTimeout);

    // A new request starts: its byte count starts again.
    void beginRequest() { budget_ = requestBytes_; }
    // Whether a request begins within timeout (bytes waiting, or arriving).
    bool waitForRequest(std::chrono::milliseconds timeout);

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return sock_; }

  private:
    bool fill();

    socket_t sock_;
    size_t requestBytes_;
    size_t budget_;
    int readTimeoutMs_;
    int writeTimeoutMs_;
    std::string buffer_;
    size_t pos_ = 0;
};

}  // namespace qpane::web
