// Ten thousand malformed and oversized requests, made from a fixed seed: each gets an error
// status or a closed connection, and the server answers a good request afterwards.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <random>

#include "http_probe.h"
#include "served_snapshots.h"

namespace qpane::web {
namespace {

// Kinds of damage, each of which leaves no request a server may answer with a page.
std::string malformed(std::mt19937& rng, int kind) {
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    auto noise = [&](size_t n) {
        std::string s;
        for (size_t i = 0; i < n; ++i)
            s += static_cast<char>(rng() & 0xFF);
        return s;
    };
    const char* targets[] = {"/",       "/board", "/api/board", "/api/ranking?block=1&group=1",
                             "/events", "/app.js"};
    const std::string target = targets[pick(6)];
    switch (kind) {
        case 0: return noise(1 + pick(600));  // bytes without form
        case 1:                               // a method that writes
        {
            const char* m[] = {"POST", "PUT", "DELETE", "PATCH", "OPTIONS", "TRACE"};
            return std::string(m[pick(6)]) + " " + target + " HTTP/1.1\r\nHost: x\r\n\r\n";
        }
        case 2:
            return "GET " + target + " HTTP/" + std::to_string(pick(10)) + "." +
                   std::to_string(2 + pick(8)) + "\r\nHost: x\r\n\r\n";  // no such version
        case 3: return "GET /" + std::string(8200 + pick(30000), 'a') + " HTTP/1.1\r\n\r\n";
        case 4: {  // a header block past the request's bound
            std::string r = "GET " + target + " HTTP/1.1\r\n";
            const size_t lines = 400 + pick(2000);
            for (size_t i = 0; i < lines; ++i)
                r += "X-" + std::to_string(i) + ": " + std::string(30 + pick(60), 'v') + "\r\n";
            return r + "\r\n";
        }
        case 5:  // a body, announced or chunked
            return "GET " + target + " HTTP/1.1\r\nHost: x\r\n" +
                   (pick(2) ? "Content-Length: " + std::to_string(1 + pick(1 << 20)) + "\r\n\r\n"
                            : std::string("Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n")) +
                   noise(pick(200));
        case 6: {  // a request line cut short or broken apart
            const std::string line = "GET " + target + " HTTP/1.1";
            std::string r = line.substr(0, pick(line.size()));
            r.insert(pick(r.size() + 1), noise(1 + pick(4)));
            return r + "\r\n\r\n";
        }
        case 7: {  // a target that is not one of its resources
            static const char kPathBytes[] = "abcXYZ019._~%-/:;=@!$&'()*+,";
            std::string path = "/x-";
            for (size_t n = 1 + pick(20); n > 0; --n)
                path += kPathBytes[pick(sizeof kPathBytes - 1)];
            return "GET " + path + target + " HTTP/1.1\r\nHost: x\r\n\r\n";
        }
        default: {  // a good request with one damaged byte in its method
            std::string r = "GET " + target + " HTTP/1.1\r\nHost: x\r\n\r\n";
            r[pick(3)] = static_cast<char>('a' + pick(26));
            return r;
        }
    }
}

// Sends the request, ends the sending side, and reads the answer to its end.
testing::Exchange send(int port, const std::string& request) {
    testing::Exchange out;
    const int s = testing::connectTo(port);
    if (s < 0) return out;
    timeval tv{5, 0};
    ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    ::setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    size_t sent = 0;
    while (sent < request.size()) {
        const ssize_t n = ::send(s, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;  // the server closed already
        sent += static_cast<size_t>(n);
    }
    ::shutdown(s, SHUT_WR);
    char buf[4096];
    for (;;) {
        const ssize_t n = ::recv(s, buf, sizeof buf, 0);
        if (n <= 0) {
            out.closed = n == 0 || errno == ECONNRESET;
            break;
        }
        out.response.append(buf, static_cast<size_t>(n));
    }
    ::close(s);
    return out;
}

using FuzzedRequests = testing::ServedSnapshots;

TEST_F(FuzzedRequests, EachGetsAnErrorOrAClosedConnection) {
    publishRow("A001         1:24.63       : .\r");
    std::mt19937 rng(20);
    int answered = 0, closedOnly = 0;
    for (int i = 0; i < 10000; ++i) {
        const int kind = static_cast<int>(rng() % 9);
        const std::string request = malformed(rng, kind);
        const testing::Exchange e = send(port, request);
        const int status = e.status();
        if (status != 0) {
            ASSERT_GE(status, 400)
                << "request " << i << " (kind " << kind << ") got " << e.response.substr(0, 200)
                << "\nfor " << request.substr(0, 200);
            ++answered;
        } else {
            ASSERT_TRUE(e.closed) << "request " << i << " (kind " << kind << ") left open";
            ++closedOnly;
        }
    }
    EXPECT_GT(answered, 5000);  // most are answered with a status, not just dropped
    const testing::Exchange good = testing::get(port, "/api/board");
    EXPECT_EQ(good.status(), 200);
    EXPECT_NE(good.body().find("A001         1:24.63"), std::string::npos);
    RecordProperty("answered", answered);
    RecordProperty("closed", closedOnly);
}

}  // namespace
}  // namespace qpane::web
