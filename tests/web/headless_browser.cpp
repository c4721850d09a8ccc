#include "headless_browser.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <vector>

namespace qpane::web::testing {

namespace {

std::string jsonQuoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string base64Decode(const std::string& in) {
    auto value = [](char c) -> int {
        if (c >= 'A' && c <= 'Z') return c - 'A';
        if (c >= 'a' && c <= 'z') return c - 'a' + 26;
        if (c >= '0' && c <= '9') return c - '0' + 52;
        if (c == '+') return 62;
        if (c == '/') return 63;
        return -1;
    };
    std::string out;
    int bits = 0, acc = 0;
    for (char c : in) {
        const int v = value(c);
        if (v < 0) continue;
        acc = (acc << 6) | v;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((acc >> bits) & 0xFF);
        }
    }
    return out;
}

}  // namespace

std::string jsonStringField(const std::string& json, const std::string& key) {
    const std::string head = "\"" + key + "\":\"";
    const size_t at = json.find(head);
    if (at == std::string::npos) return {};
    std::string out;
    for (size_t i = at + head.size(); i < json.size(); ++i) {
        const char c = json[i];
        if (c == '"') return out;
        if (c != '\\') {
            out += c;
            continue;
        }
        const char e = json[++i];
        switch (e) {
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                const unsigned cp = std::stoul(json.substr(i + 1, 4), nullptr, 16);
                i += 4;
                if (cp < 0x80) {
                    out += static_cast<char>(cp);
                } else if (cp < 0x800) {
                    out += static_cast<char>(0xC0 | (cp >> 6));
                    out += static_cast<char>(0x80 | (cp & 0x3F));
                } else {
                    out += static_cast<char>(0xE0 | (cp >> 12));
                    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                    out += static_cast<char>(0x80 | (cp & 0x3F));
                }
                break;
            }
            default: out += e;
        }
    }
    return {};
}

bool HeadlessBrowser::start() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "qpane-chromium-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return false;
    profile_ = pattern;
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0) return false;
    pid_ = ::fork();
    if (pid_ == 0) {
        // The browser reads commands on descriptor 3 and answers on descriptor 4.
        ::dup2(in[0], 3);
        ::dup2(out[1], 4);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        for (int fd = 5; fd < 1024; ++fd)
            ::close(fd);
        const std::string profile = "--user-data-dir=" + profile_.string();
        ::execlp("chromium", "chromium", "--headless", "--no-sandbox", "--disable-gpu",
                 "--disable-dev-shm-usage", "--no-first-run", "--remote-debugging-pipe",
                 "--window-size=1000,1100", profile.c_str(), "about:blank",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    toBrowser_ = in[1];
    fromBrowser_ = out[0];
    if (pid_ < 0) return false;
    return call("Browser.getVersion", "{}", false).find("\"result\"") != std::string::npos;
}

HeadlessBrowser::~HeadlessBrowser() {
    if (toBrowser_ >= 0) ::close(toBrowser_);
    if (fromBrowser_ >= 0) ::close(fromBrowser_);
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    if (!profile_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(profile_, ec);
    }
}

bool HeadlessBrowser::readMessage(std::string& message, int timeoutMs) {
    for (;;) {
        const size_t end = pending_.find('\0');
        if (end != std::string::npos) {
            message = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return true;
        }
        pollfd p{fromBrowser_, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0) return false;
        char buf[65536];
        const ssize_t n = ::read(fromBrowser_, buf, sizeof buf);
        if (n <= 0) return false;
        pending_.append(buf, static_cast<size_t>(n));
    }
}

std::string HeadlessBrowser::call(const std::string& method, const std::string& params,
                                  bool inTab) {
    const int id = nextId_++;
    std::string message =
        "{\"id\":" + std::to_string(id) + ",\"method\":\"" + method + "\",\"params\":" + params;
    if (inTab && !session_.empty()) message += ",\"sessionId\":" + jsonQuoted(session_);
    message += "}";
    message += '\0';
    if (::write(toBrowser_, message.data(), message.size()) != static_cast<ssize_t>(message.size()))
        return {};
    const std::string head = "{\"id\":" + std::to_string(id) + ",";
    std::string answer;
    while (readMessage(answer, 60000))
        if (answer.rfind(head, 0) == 0) return answer;
    return {};
}

bool HeadlessBrowser::open(const std::string& url) {
    const std::string target = jsonStringField(
        call("Target.createTarget", "{\"url\":" + jsonQuoted(url) + "}", false), "targetId");
    if (target.empty()) return false;
    session_ =
        jsonStringField(call("Target.attachToTarget",
                             "{\"targetId\":" + jsonQuoted(target) + ",\"flatten\":true}", false),
                        "sessionId");
    return !session_.empty();
}

std::string HeadlessBrowser::evaluate(const std::string& expression) {
    const std::string answer =
        call("Runtime.evaluate",
             "{\"expression\":" + jsonQuoted(expression) + ",\"returnByValue\":true}");
    return jsonStringField(answer, "value");
}

bool HeadlessBrowser::screenshot(const std::filesystem::path& file) {
    const std::string data =
        jsonStringField(call("Page.captureScreenshot", "{\"format\":\"png\"}"), "data");
    if (data.empty()) return false;
    std::ofstream(file, std::ios::binary) << base64Decode(data);
    return true;
}

}  // namespace qpane::web::testing
