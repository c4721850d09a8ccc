#include "web/web_server.h"

#include <ifaddrs.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>
#include <vector>

#include "web/connection_stream.h"
#include "web/snapshot_json.h"
#include "web/web_pages.h"

namespace qpane::web {

namespace {

// The server's worker threads: made as connections come, up to a fixed number, and all
// joined at shutdown. A connection holds its thread while it lasts (the HTTP library's
// model), so the number is the connections served at once plus a few that only turn away.
class ConnectionPool : public httplib::TaskQueue {
  public:
    explicit ConnectionPool(size_t maxThreads) : maxThreads_(maxThreads) {}
    ~ConnectionPool() override = default;

    void enqueue(std::function<void()> fn) override {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(fn));
        if (idle_ == 0 && threads_.size() < maxThreads_)
            threads_.emplace_back([this] { work(); });
        else
            wake_.notify_one();
    }

    void shutdown() override {
        {
            std::lock_guard lock(mutex_);
            shutdown_ = true;
        }
        wake_.notify_all();
        for (std::thread& t : threads_)
            t.join();
    }

  private:
    void work() {
        std::unique_lock lock(mutex_);
        for (;;) {
            ++idle_;
            wake_.wait(lock, [&] { return shutdown_ || !jobs_.empty(); });
            --idle_;
            if (jobs_.empty()) return;  // shut down, nothing left
            std::function<void()> job = std::move(jobs_.front());
            jobs_.pop_front();
            lock.unlock();
            job();
            lock.lock();
        }
    }

    const size_t maxThreads_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    std::vector<std::thread> threads_;
    size_t idle_ = 0;
    bool shutdown_ = false;
};

const char* statusText(int status) {
    switch (status) {
        case 400: return "Bad Request";
        case 404: return "Not Found";
        case 405: return "Method Not Allowed";
        case 413: return "Payload Too Large";
        case 414: return "URI Too Long";
        case 416: return "Range Not Satisfiable";
        case 503: return "Service Unavailable";
        default: return "Error";
    }
}

std::string hostName() {
    ifaddrs* list = nullptr;
    std::string found;
    if (::getifaddrs(&list) == 0) {
        for (ifaddrs* a = list; a && found.empty(); a = a->ifa_next) {
            if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET) continue;
            char host[NI_MAXHOST] = {};
            if (::getnameinfo(a->ifa_addr, sizeof(sockaddr_in), host, sizeof host, nullptr, 0,
                              NI_NUMERICHOST) == 0 &&
                std::string_view(host).rfind("127.", 0) != 0)
                found = host;
        }
        ::freeifaddrs(list);
    }
    return found.empty() ? "127.0.0.1" : found;
}

}  // namespace

class WebServer::Impl : public httplib::Server {
  public:
    Impl(SnapshotBox& box, WebLimits limits) : box_(box), limits_(limits) {
        new_task_queue = [this] { return new ConnectionPool(limits_.connections + 8); };
        set_payload_max_length(0);
        set_keep_alive_max_count(limits_.requestsPerConnection);
        set_tcp_nodelay(true);
        // The address may be taken again at once after a stop, but never shared with a
        // server that listens on it (the library's default would let a second one in).
        set_socket_options([](socket_t sock) {
            int yes = 1;
            ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        });
        set_default_headers({{"Cache-Control", "no-store"},
                             {"X-Content-Type-Options", "nosniff"},
                             {"Content-Security-Policy", "default-src 'self'"},
                             {"Referrer-Policy", "no-referrer"}});
        set_pre_routing_handler(
            [](const httplib::Request& req, httplib::Response& res) -> HandlerResponse {
                if (req.method == "GET" || req.method == "HEAD") {
                    // Nothing here takes a body: one that came would be read as the next request.
                    const std::string length = req.get_header_value("Content-Length");
                    if ((length.empty() || length == "0") && !req.has_header("Transfer-Encoding"))
                        return HandlerResponse::Unhandled;
                    res.status = 413;
                    res.set_header("Connection", "close");
                    return HandlerResponse::Handled;
                }
                res.status = 405;
                res.set_header("Allow", "GET, HEAD");
                res.set_header("Connection", "close");
                return HandlerResponse::Handled;
            });
        set_error_handler(HandlerWithResponse([](const httplib::Request&,
                                                 httplib::Response& res) -> HandlerResponse {
            if (res.body.empty())
                res.set_content(std::to_string(res.status) + " " + statusText(res.status) + "\n",
                                "text/plain; charset=utf-8");
            return HandlerResponse::Handled;
        }));
        routes();
    }

    void routes() {
        auto page = [](const char* text, const char* type) {
            return [text, type](const httplib::Request&, httplib::Response& res) {
                res.set_content(text, type);
            };
        };
        Get("/", page(kResultsPage, "text/html; charset=utf-8"));
        Get("/board", page(kBoardPage, "text/html; charset=utf-8"));
        Get("/app.css", page(kPageStyle, "text/css; charset=utf-8"));
        Get("/app.js", page(kPageScript, "text/javascript; charset=utf-8"));
        Get("/api/board", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(boardJson(*box_.current()), "application/json");
        });
        Get("/api/ranking",
            [this](const httplib::Request& req, httplib::Response& res) { ranking(req, res); });
        Get("/api/live", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(eventJson(*box_.current()), "application/json");
        });
        Get("/events", [this](const httplib::Request&, httplib::Response& res) { events(res); });
    }

    static std::optional<std::string> parameter(const httplib::Request& req, const char* name) {
        if (!req.has_param(name)) return std::nullopt;
        return req.get_param_value(name);
    }

    void ranking(const httplib::Request& req, httplib::Response& res) {
        const std::optional<std::string> block = parameter(req, "block");
        const std::optional<std::string> group = parameter(req, "group");
        auto number = [](const std::optional<std::string>& v) {
            return !v || (!v->empty() && v->size() <= 3 &&
                          v->find_first_not_of("0123456789") == std::string::npos);
        };
        if (!number(block) || !number(group) || (group && !block)) {
            res.status = 400;
            res.set_content("{\"error\":\"block and group are numbers; group needs block\"}",
                            "application/json");
            return;
        }
        const std::optional<std::string> json = rankingJson(*box_.current(), block, group);
        if (!json) {
            res.status = 404;
            res.set_content("{\"error\":\"no ranking for this block and group\"}",
                            "application/json");
            return;
        }
        res.set_content(*json, "application/json");
    }

    // The cached event text of the newest snapshot, so that many followers cost one
    // serialisation per snapshot.
    std::shared_ptr<const std::string> eventFor(const SnapshotPtr& s) {
        std::lock_guard lock(eventMutex_);
        if (!eventText_ || eventSequence_ != s->sequence) {
            eventText_ = std::make_shared<const std::string>(
                "id: " + std::to_string(s->sequence) + "\nevent: snapshot\ndata: " + eventJson(*s) +
                "\n\n");
            eventSequence_ = s->sequence;
        }
        return eventText_;
    }

    struct FollowerSlot {
        Impl& server;
        explicit FollowerSlot(Impl& s) : server(s) {}
        ~FollowerSlot() { --server.followers_; }
    };

    void events(httplib::Response& res) {
        if (++followers_ > limits_.followers) {
            --followers_;
            res.status = 503;
            res.set_header("Retry-After", "5");
            return;
        }
        auto slot = std::make_shared<FollowerSlot>(*this);
        auto sent = std::make_shared<uint64_t>(0);
        auto first = std::make_shared<bool>(true);
        res.set_chunked_content_provider("text/event-stream", [this, slot, sent, first](
                                                                  size_t, httplib::DataSink& sink) {
            if (stopping_) return false;
            SnapshotPtr s;
            std::string prefix;
            if (*first) {
                *first = false;
                prefix = "retry: 1000\n\n";
                s = box_.current();
            } else {
                s = box_.waitNewer(*sent, limits_.heartbeat, [this] { return stopping_.load(); });
            }
            if (stopping_) return false;
            if (s->sequence > *sent || !prefix.empty()) {
                *sent = s->sequence;
                const auto text = eventFor(s);
                if (!prefix.empty() && !sink.write(prefix.data(), prefix.size())) return false;
                if (!sink.write(text->data(), text->size())) return false;
                // Rows of one pass follow each other closely: wait a moment, so that
                // they go as a few events rather than one per row.
                std::unique_lock lock(gapMutex_);
                gapWake_.wait_for(lock, limits_.eventGap, [this] { return stopping_.load(); });
            } else {
                static constexpr char kBeat[] = ": beat\n\n";
                if (!sink.write(kBeat, sizeof kBeat - 1)) return false;
            }
            return true;
        });
    }

    // Every accepted connection runs here, on a worker thread.
    bool process_and_close_socket(socket_t sock) override {
        bool admitted = false;
        {
            std::lock_guard lock(socketsMutex_);
            if (!stopping_ && sockets_.size() < limits_.connections) {
                sockets_.insert(sock);
                admitted = true;
            }
        }
        bool ok = false;
        if (admitted) {
            ok = serve(sock);
            std::lock_guard lock(socketsMutex_);
            sockets_.erase(sock);
        } else if (!stopping_) {
            static constexpr char kBusy[] =
                "HTTP/1.1 503 Service Unavailable\r\nRetry-After: 2\r\nContent-Length: 0\r\n"
                "Connection: close\r\n\r\n";
            ConnectionStream(sock, 0, limits_.writeTimeout, limits_.writeTimeout)
                .write(kBusy, sizeof kBusy - 1);
        }
        ::shutdown(sock, SHUT_RDWR);
        ::close(sock);
        return ok;
    }

    bool serve(socket_t sock) {
        ConnectionStream stream(sock, limits_.requestBytes, limits_.readTimeout,
                                limits_.writeTimeout);
        bool ok = true;
        for (size_t left = limits_.requestsPerConnection; left > 0 && !stopping_; --left) {
            if (!stream.waitForRequest(limits_.keepAlive) || stopping_) break;
            stream.beginRequest();
            bool closed = false;
            ok = process_request(stream, left == 1, closed, [&](httplib::Request& req) {
                stream.get_remote_ip_and_port(req.remote_addr, req.remote_port);
            });
            if (!ok || closed) break;
        }
        return ok;
    }

    void closeEveryConnection() {
        stopping_ = true;
        box_.wake();
        { std::lock_guard lock(gapMutex_); }
        gapWake_.notify_all();
        std::lock_guard lock(socketsMutex_);
        for (socket_t s : sockets_)
            ::shutdown(s, SHUT_RDWR);
    }

    SnapshotBox& box_;
    const WebLimits limits_;
    std::atomic<bool> stopping_{false};
    std::atomic<size_t> followers_{0};
    std::atomic<bool> listenEnded_{false};
    std::thread thread_;
    int port_ = 0;
    std::string host_;

    std::mutex socketsMutex_;
    std::set<socket_t> sockets_;
    std::mutex eventMutex_;
    std::shared_ptr<const std::string> eventText_;
    uint64_t eventSequence_ = 0;
    std::mutex gapMutex_;
    std::condition_variable gapWake_;
};

WebServer::WebServer(SnapshotBox& box, WebLimits limits)
    : impl_(std::make_unique<Impl>(box, limits)) {}

WebServer::~WebServer() {
    stop();
}

void WebServer::start(const ListenAddress& address) {
    if (impl_->thread_.joinable()) throw WebServerError("the live page is served already");
    const std::string shown =
        (address.host.find(':') != std::string::npos ? "[" + address.host + "]" : address.host) +
        ":" + std::to_string(address.port);
    int port = address.port;
    bool bound;
    if (port == 0) {
        port = impl_->bind_to_any_port(address.host);
        bound = port > 0;
    } else {
        bound = impl_->bind_to_port(address.host, port);
    }
    if (!bound)
        throw WebServerError(shown + " で待ち受けできません: " +
                             "アドレスがこのコンピューターのものでないか、ポートが使用中です");
    impl_->port_ = port;
    impl_->host_ = address.host;
    impl_->stopping_ = false;
    impl_->listenEnded_ = false;
    impl_->thread_ = std::thread([this] {
        impl_->listen_after_bind();
        impl_->listenEnded_ = true;
    });
}

void WebServer::stop() {
    if (!impl_->thread_.joinable()) return;
    impl_->closeEveryConnection();
    // The library's stop acts only once its loop runs: a stop right after start waits for it.
    while (!impl_->is_running() && !impl_->listenEnded_)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    impl_->Server::stop();
    impl_->thread_.join();
    impl_->port_ = 0;
}

bool WebServer::running() const {
    return impl_->thread_.joinable();
}

int WebServer::port() const {
    return impl_->port_;
}

std::string WebServer::pageAddress() const {
    if (!running()) return {};
    std::string host = impl_->host_;
    if (host == "0.0.0.0" || host == "::") host = hostName();
    if (host.find(':') != std::string::npos) host = "[" + host + "]";
    return "http://" + host + ":" + std::to_string(impl_->port_) + "/";
}

size_t WebServer::followers() const {
    return impl_->followers_;
}

}  // namespace qpane::web
