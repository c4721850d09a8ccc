#include "http_probe.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

namespace qpane::web::testing {

int Exchange::status() const {
    if (response.rfind("HTTP/1.", 0) != 0 || response.size() < 12) return 0;
    return std::atoi(response.substr(9, 3).c_str());
}

std::string Exchange::body() const {
    const size_t end = response.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : response.substr(end + 4);
}

int connectTo(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) return -1;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(s);
        return -1;
    }
    return s;
}

Exchange exchange(int port, const std::string& request, std::chrono::milliseconds timeout) {
    Exchange out;
    const int s = connectTo(port);
    if (s < 0) return out;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto left = [&] {
        return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                    deadline - std::chrono::steady_clock::now())
                                    .count());
    };
    size_t sent = 0;
    while (sent < request.size() && left() > 0) {
        pollfd p{s, POLLOUT | POLLIN, 0};
        if (::poll(&p, 1, left()) <= 0) break;
        if (p.revents & POLLIN) break;  // answered (or closed) before the request ended
        const ssize_t n =
            ::send(s, request.data() + sent, request.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n <= 0) break;
        sent += static_cast<size_t>(n);
    }
    char buf[8192];
    while (left() > 0) {
        pollfd p{s, POLLIN, 0};
        if (::poll(&p, 1, left()) <= 0) break;
        const ssize_t n = ::recv(s, buf, sizeof buf, 0);
        if (n <= 0) {
            out.closed = true;
            break;
        }
        out.response.append(buf, static_cast<size_t>(n));
    }
    ::close(s);
    return out;
}

Exchange get(int port, const std::string& target, const std::string& method) {
    return exchange(
        port, method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
}

}  // namespace qpane::web::testing
