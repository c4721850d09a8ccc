// What a browser, a phone or a stray client gets from the live page's server.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "http_probe.h"
#include "served_snapshots.h"

namespace qpane::web {
namespace {

using testing::Exchange;
using testing::ServedSnapshots;

std::string header(const Exchange& e, const std::string& name) {
    const std::string key = "\r\n" + name + ": ";
    const size_t at = e.response.find(key);
    if (at == std::string::npos) return {};
    const size_t start = at + key.size();
    return e.response.substr(start, e.response.find("\r\n", start) - start);
}

// Reads from a socket until text appears or the (generous) time runs out.
bool readUntil(int s, std::string& got, const std::string& text,
               std::chrono::milliseconds within = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + within;
    char buf[4096];
    while (got.find(text) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{s, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
        const ssize_t n = ::recv(s, buf, sizeof buf, 0);
        if (n <= 0) return false;
        got.append(buf, static_cast<size_t>(n));
    }
    return true;
}

int follow(int port, std::string& got) {
    const int s = testing::connectTo(port);
    const std::string request =
        "GET /events HTTP/1.1\r\nHost: x\r\nAccept: text/event-stream\r\n"
        "Accept-Encoding: gzip, deflate, br\r\n\r\n";
    ::send(s, request.data(), request.size(), MSG_NOSIGNAL);
    readUntil(s, got, "\r\n\r\n", std::chrono::seconds(20));
    return s;
}

using Served = ServedSnapshots;

TEST_F(Served, PagesAndAnswersHaveTheirTypes) {
    const std::pair<const char*, const char*> resources[] = {
        {"/", "text/html; charset=utf-8"},       {"/board", "text/html; charset=utf-8"},
        {"/app.css", "text/css; charset=utf-8"}, {"/app.js", "text/javascript; charset=utf-8"},
        {"/api/board", "application/json"},      {"/api/ranking", "application/json"},
        {"/api/live", "application/json"},
    };
    for (const auto& [target, type] : resources) {
        const Exchange e = testing::get(port, target);
        EXPECT_EQ(e.status(), 200) << target;
        EXPECT_EQ(header(e, "Content-Type"), type) << target;
        EXPECT_EQ(header(e, "Cache-Control"), "no-store") << target;
        EXPECT_FALSE(e.body().empty()) << target;
    }
    EXPECT_NE(testing::get(port, "/").body().find("/app.js"), std::string::npos);
    EXPECT_NE(testing::get(port, "/api/board").body().find(R"("rows":[{"row":"A")"),
              std::string::npos);
}

TEST_F(Served, HeadAnswersWithoutBody) {
    const Exchange e = testing::get(port, "/api/board", "HEAD");
    EXPECT_EQ(e.status(), 200);
    EXPECT_EQ(e.body(), "");
}

TEST_F(Served, OnlyGetAndHeadAreServed) {
    for (const char* method : {"POST", "PUT", "DELETE", "PATCH", "OPTIONS", "TRACE", "CONNECT"}) {
        const Exchange e = testing::get(port, "/", method);
        EXPECT_EQ(e.status(), 405) << method;
        EXPECT_EQ(header(e, "Allow"), "GET, HEAD") << method;
    }
    // A method the protocol does not have is a bad request.
    EXPECT_EQ(testing::get(port, "/", "BREW").status(), 400);
}

TEST_F(Served, NothingButItsOwnResourcesAndNothingFromTheDisk) {
    for (const char* target :
         {"/index.html", "/board/", "/app.js/..", "/../../etc/passwd", "/%2e%2e/%2e%2e/etc/passwd",
          "/api", "/api/board/x", "/api/events", "/etc/passwd", "//etc/passwd", "/events/x",
          "/CMakeLists.txt", "/favicon.ico"}) {
        EXPECT_EQ(testing::get(port, target).status(), 404) << target;
    }
}

TEST_F(Served, RankingParametersAreChecked) {
    EXPECT_EQ(testing::get(port, "/api/ranking?block=x").status(), 400);
    EXPECT_EQ(testing::get(port, "/api/ranking?group=1").status(), 400);
    EXPECT_EQ(testing::get(port, "/api/ranking?block=1&group=1%27").status(), 400);
    EXPECT_EQ(testing::get(port, "/api/ranking?block=1234").status(), 400);
    const Exchange none = testing::get(port, "/api/ranking?block=3&group=1");
    EXPECT_EQ(none.status(), 404);
    EXPECT_EQ(header(none, "Content-Type"), "application/json");
}

TEST_F(Served, RequestsOverTheirBoundsAreRefused) {
    // A request line over 8 KiB.
    EXPECT_EQ(testing::get(port, "/" + std::string(9000, 'a')).status(), 414);
    // A request with a body.
    const Exchange body = testing::exchange(
        port, "GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\nConnection: close\r\n\r\nhello");
    EXPECT_EQ(body.status(), 413);
    // A header block without end: the connection is closed without an answer.
    std::string endless = "GET / HTTP/1.1\r\nHost: x\r\n";
    for (int i = 0; i < 2000; ++i)
        endless += "X-Filler-" + std::to_string(i) + ": " + std::string(40, 'f') + "\r\n";
    const Exchange e = testing::exchange(port, endless + "\r\n");
    EXPECT_TRUE(e.closed);
    EXPECT_NE(e.status(), 200);
    // The server still answers.
    EXPECT_EQ(testing::get(port, "/api/board").status(), 200);
}

TEST_F(Served, EventsDeliverEachNewSnapshot) {
    publishRow("A001         1:24.63       : .\r");
    std::string got;
    const int s = follow(port, got);
    ASSERT_TRUE(readUntil(s, got, "A001         1:24.63")) << got;
    EXPECT_NE(got.find("Content-Type: text/event-stream"), std::string::npos);
    EXPECT_EQ(got.find("Content-Encoding"), std::string::npos);  // never held in a compressor
    EXPECT_NE(got.find("retry: 1000"), std::string::npos);
    EXPECT_EQ(server->followers(), 1u);
    publishRow("B            3:17.55       : .\r");
    EXPECT_TRUE(readUntil(s, got, "B            3:17.55")) << got;
    EXPECT_NE(got.find("event: snapshot"), std::string::npos);
    ::close(s);
}

TEST_F(Served, StopEndsFollowersAndIdleConnectionsAndFreesThePort) {
    std::string a, b;
    const int s1 = follow(port, a);
    const int s2 = follow(port, b);
    const int idle = testing::connectTo(port);
    server->stop();
    EXPECT_FALSE(server->running());
    std::string rest;
    EXPECT_FALSE(readUntil(s1, rest, "never"));  // closed, not left waiting
    EXPECT_EQ(testing::connectTo(port), -1);
    ::close(s1), ::close(s2), ::close(idle);
    // The same server serves again on start.
    server->start({"127.0.0.1", 0});
    port = server->port();
    EXPECT_EQ(testing::get(port, "/api/board").status(), 200);
}

TEST_F(Served, APortTakenIsToldWithTheAddress) {
    SnapshotBox other;
    WebServer second(other);
    try {
        second.start({"127.0.0.1", port});
        FAIL() << "bound twice";
    } catch (const WebServerError& e) {
        EXPECT_NE(std::string(e.what()).find("127.0.0.1:" + std::to_string(port)),
                  std::string::npos);
    }
    EXPECT_FALSE(second.running());
}

TEST_F(Served, TheAddressShownIsThePageOfThePortBound) {
    EXPECT_EQ(server->pageAddress(), "http://127.0.0.1:" + std::to_string(port) + "/");
}

TEST_F(Served, ConnectionsAndFollowersOverTheLimitAreTurnedAway) {
    WebLimits limits;
    limits.connections = 3;
    limits.followers = 2;
    server->stop();
    serve(limits);
    std::string a, b, c;
    const int f1 = follow(port, a);
    const int f2 = follow(port, b);
    const int f3 = follow(port, c);
    EXPECT_NE(a.find("200 OK"), std::string::npos);
    EXPECT_NE(b.find("200 OK"), std::string::npos);
    EXPECT_NE(c.find("503"), std::string::npos) << c;
    ::close(f3);
    // Two followers and one idle connection fill it; one more is turned away at once.
    // The server counts the idle one once it has taken it, which a loaded machine may delay:
    // until then a request still finds a place and leaves it again.
    const int idle = testing::connectTo(port);
    int turnedAway = 0;
    for (int i = 0; i < 100 && turnedAway != 503; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        turnedAway = testing::get(port, "/").status();
    }
    EXPECT_EQ(turnedAway, 503);
    ::close(idle), ::close(f1);
    // Places free again as connections end.
    Exchange e;
    for (int i = 0; i < 100 && e.status() != 200; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        e = testing::get(port, "/api/board");
    }
    EXPECT_EQ(e.status(), 200);
    ::close(f2);
}

}  // namespace
}  // namespace qpane::web
