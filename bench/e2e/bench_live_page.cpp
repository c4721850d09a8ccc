// The real qpane, offscreen, on the simulator's devices, with the live results page served.
//
// BM_BoardRowWithFollowers/N: the time from the last byte of a timing line at the timing
// device to the first byte of its board row (less the processing cycle's 500 ms, as
// BM_TimingLineToBoardRow takes it), a line every 1.5 s for QPANE_BENCH_FOLLOW_SECONDS
// (default 60), while N clients on the loopback address follow /events. Counters: the
// line-to-row mean, median and worst; for N > 0 the page's update latency (from the
// snapshot's publication, right after the board send, to its event at a follower) at the
// median and the 99th percentile, and the events received. Compare /0 with /200.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <thread>

#include "board_link_waits.h"
#include "live_console.h"
#include "pty_link.h"
#include "race_generator.h"
#include "temp_folder.h"
#include "timing_device.h"

namespace qpane::e2e {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kProcessingCycle = 500ms;

int64_t wallMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

int freePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(s);
    return ntohs(a.sin_port);
}

int connectTo(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
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

// N followers of /events on one thread: each event's publishedAt against the clock when it
// came.
class Followers {
  public:
    Followers(int port, int count) {
        const std::string request =
            "GET /events HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: text/event-stream\r\n\r\n";
        for (int i = 0; i < count; ++i) {
            const int s = connectTo(port);
            if (s < 0) continue;
            ::send(s, request.data(), request.size(), MSG_NOSIGNAL);
            sockets_.push_back({s, {}});
        }
        thread_ = std::thread([this] { run(); });
    }
    ~Followers() {
        stop_ = true;
        thread_.join();
        for (auto& f : sockets_)
            ::close(f.fd);
    }
    size_t connected() const { return sockets_.size(); }
    void startMeasuring() { measuring_ = true; }
    std::vector<int64_t> latencies() {
        std::lock_guard lock(mutex_);
        return latencies_;
    }

  private:
    struct Follower {
        int fd;
        std::string pending;
    };
    void run() {
        std::vector<pollfd> fds;
        for (auto& f : sockets_)
            fds.push_back({f.fd, POLLIN, 0});
        char buf[65536];
        while (!stop_) {
            if (::poll(fds.data(), fds.size(), 100) <= 0) continue;
            const int64_t now = wallMs();
            for (size_t i = 0; i < fds.size(); ++i) {
                if (!(fds[i].revents & POLLIN)) continue;
                const ssize_t n = ::recv(fds[i].fd, buf, sizeof buf, 0);
                if (n <= 0) {
                    fds[i].fd = -1;
                    continue;
                }
                std::string& p = sockets_[i].pending;
                p.append(buf, static_cast<size_t>(n));
                size_t at;
                while ((at = p.find("\"publishedAt\":")) != std::string::npos) {
                    const int64_t published = std::atoll(p.c_str() + at + 14);
                    if (measuring_) {
                        std::lock_guard lock(mutex_);
                        latencies_.push_back(now - published);
                    }
                    p.erase(0, at + 14);
                }
                if (p.size() > 100000) p.erase(0, p.size() - 100);
            }
        }
    }
    std::vector<Follower> sockets_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> measuring_{false};
    std::mutex mutex_;
    std::vector<int64_t> latencies_;
};

template <class T>
double percentile(std::vector<T> v, double q) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return static_cast<double>(v[std::min(v.size() - 1, static_cast<size_t>(q * v.size()))]);
}

void BM_BoardRowWithFollowers(benchmark::State& state) {
    const int followerCount = static_cast<int>(state.range(0));
    const char* env = std::getenv("QPANE_BENCH_FOLLOW_SECONDS");
    const int seconds = env ? std::max(5, std::atoi(env)) : 60;
    const Programs programs;
    TempFolder root("qpane-bench-live-page");
    writeSettings(root.path(), {{"Portno", "1"},
                                {"Portno2", "2"},
                                {"Pinout", "1"},
                                {"BitRateOut", "2"},
                                {"Disppt", "1"},
                                {"Gmode", "D"}});
    const int port = freePort();
    std::ofstream(root.path() / "Program Files/PORLEX/Alpine/Qcontrol.ini",
                  std::ios::binary | std::ios::app)
        << "[Web]\r\nListen=127.0.0.1:" << port << "\r\n";
    sim::PtyLink device(root.path(), 1);
    sim::PtyLink board(root.path(), 2);
    auto console = startConsole(programs, root.path(), {"CuteButton3"}, false);
    if (!waitUntil([&] { return device.portOpen() && board.portOpen(); }, 60s)) {
        state.SkipWithError("the console did not open its ports");
        return;
    }
    std::this_thread::sleep_for(500ms);
    Followers followers(port, followerCount);
    if (static_cast<int>(followers.connected()) != followerCount) {
        state.SkipWithError("not every follower connected");
        return;
    }

    sim::TimingDevice timing(sim::DeviceMode::Direct, sim::RaceKind::Alpine);
    int bib = 1;
    auto send = [&] {
        const std::string line = timing.take(sim::timingLine('1', '0', bib, 8000 + bib * 7));
        ++bib;
        device.write(line);
        return Clock::now();
    };
    send();
    drain(board, 1500);
    followers.startMeasuring();

    std::vector<double> rows;
    for (auto _ : state) {
        const auto end = Clock::now() + std::chrono::seconds(seconds);
        while (Clock::now() < end) {
            const auto sent = send();
            const auto came = firstBytes(board, 5s);
            if (!came) {
                state.SkipWithError("no board row within 5 s");
                break;
            }
            rows.push_back(
                std::chrono::duration<double, std::milli>(*came - sent - kProcessingCycle).count());
            drain(board, 300);  // the rest of the pass
            std::this_thread::sleep_until(sent + 1500ms);
        }
        double mean = 0;
        for (double r : rows)
            mean += r;
        mean /= std::max<size_t>(rows.size(), 1);
        state.SetIterationTime(mean / 1000);
    }
    state.counters["lines"] = static_cast<double>(rows.size());
    state.counters["row_mean_ms"] = [&] {
        double m = 0;
        for (double r : rows)
            m += r;
        return m / std::max<size_t>(rows.size(), 1);
    }();
    state.counters["row_p50_ms"] = percentile(rows, 0.5);
    state.counters["row_worst_ms"] = rows.empty() ? 0 : *std::max_element(rows.begin(), rows.end());
    if (followerCount > 0) {
        const std::vector<int64_t> page = followers.latencies();
        state.counters["events"] = static_cast<double>(page.size());
        state.counters["page_p50_ms"] = percentile(page, 0.5);
        state.counters["page_p99_ms"] = percentile(page, 0.99);
    }
    console->signal(SIGTERM);
}
BENCHMARK(BM_BoardRowWithFollowers)
    ->Arg(0)
    ->Arg(200)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qpane::e2e
