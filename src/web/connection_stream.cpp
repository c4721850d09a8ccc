#include "web/connection_stream.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace qpane::web {

namespace {
// Waits for events on the socket; true when one came (an error or hang-up counts, so that
// the read or write that follows finds it).
bool waitFor(socket_t sock, short events, int timeoutMs) {
    pollfd p{sock, events, 0};
    for (;;) {
        const int n = ::poll(&p, 1, timeoutMs);
        if (n > 0) return true;
        if (n == 0) return false;
        if (errno != EINTR) return false;
    }
}

void addressOf(const sockaddr_storage& a, std::string& ip, int& port) {
    char host[NI_MAXHOST] = {};
    char serv[NI_MAXSERV] = {};
    if (::getnameinfo(reinterpret_cast<const sockaddr*>(&a), sizeof a, host, sizeof host, serv,
                      sizeof serv, NI_NUMERICHOST | NI_NUMERICSERV) == 0) {
        ip = host;
        port = std::atoi(serv);
    }
}
}  // namespace

ConnectionStream::ConnectionStream(socket_t sock, size_t requestBytes,
                                   std::chrono::milliseconds readTimeout,
                                   std::chrono::milliseconds writeTimeout)
    : sock_(sock),
      requestBytes_(requestBytes),
      budget_(requestBytes),
      readTimeoutMs_(static_cast<int>(readTimeout.count())),
      writeTimeoutMs_(static_cast<int>(writeTimeout.count())) {}

bool ConnectionStream::waitForRequest(std::chrono::milliseconds timeout) {
    if (pos_ < buffer_.size()) return true;
    return waitFor(sock_, POLLIN, static_cast<int>(timeout.count()));
}

bool ConnectionStream::is_readable() const {
    return pos_ < buffer_.size() || waitFor(sock_, POLLIN, readTimeoutMs_);
}

bool ConnectionStream::is_writable() const {
    pollfd p{sock_, POLLOUT, 0};
    const int n = ::poll(&p, 1, writeTimeoutMs_);
    return n > 0 && !(p.revents & (POLLERR | POLLHUP | POLLNVAL));
}

bool ConnectionStream::fill() {
    char chunk[4096];
    ssize_t n;
    do {
        if (!waitFor(sock_, POLLIN, readTimeoutMs_)) return false;
        n = ::recv(sock_, chunk, sizeof chunk, MSG_DONTWAIT);
    } while (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK));
    if (n <= 0) return false;
    buffer_.assign(chunk, static_cast<size_t>(n));
    pos_ = 0;
    return true;
}

ssize_t ConnectionStream::read(char* ptr, size_t size) {
    if (budget_ == 0) return -1;
    if (pos_ == buffer_.size() && !fill()) return -1;
    const size_t n = std::min({size, buffer_.size() - pos_, budget_});
    std::memcpy(ptr, buffer_.data() + pos_, n);
    pos_ += n;
    budget_ -= n;
    return static_cast<ssize_t>(n);
}

ssize_t ConnectionStream::write(const char* ptr, size_t size) {
    size_t done = 0;
    while (done < size) {
        if (!waitFor(sock_, POLLOUT, writeTimeoutMs_)) return -1;
        const ssize_t n = ::send(sock_, ptr + done, size - done, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
            return -1;
        }
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(size);
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage a{};
    socklen_t len = sizeof a;
    if (::getpeername(sock_, reinterpret_cast<sockaddr*>(&a), &len) == 0) addressOf(a, ip, port);
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage a{};
    socklen_t len = sizeof a;
    if (::getsockname(sock_, reinterpret_cast<sockaddr*>(&a), &len) == 0) addressOf(a, ip, port);
}

}  // namespace qpane::web
