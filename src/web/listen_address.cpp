#include "web/listen_address.h"

#include <algorithm>

namespace qpane::web {

namespace {
[[noreturn]] void fail(std::string_view value, const std::string& why) {
    throw ListenError("[Web] Listen=" + std::string(value) + ": " + why +
                      " (例: Listen=127.0.0.1:8086)");
}

bool hostCharacter(char c, bool bracketed) {
    if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    if (c == '.' || c == '-') return true;
    return bracketed && c == ':';
}
}  // namespace

ListenAddress parseListen(std::string_view value) {
    const size_t colon = value.rfind(':');
    if (colon == std::string_view::npos)
        fail(value, "アドレスとポートを「ホスト:ポート」で指定してください");
    std::string_view host = value.substr(0, colon);
    const std::string_view port = value.substr(colon + 1);
    bool bracketed = false;
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
        bracketed = true;
    }
    if (host.empty()) fail(value, "ホストがありません");
    if (!std::all_of(host.begin(), host.end(), [&](char c) { return hostCharacter(c, bracketed); }))
        fail(value, "ホストに使えない文字があります");
    if (port.empty() || port.size() > 5 ||
        !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; }))
        fail(value, "ポートは 0 から 65535 の数で指定してください");
    const int number = std::stoi(std::string(port));
    if (number > 65535) fail(value, "ポートは 0 から 65535 の数で指定してください");
    return {std::string(host), number};
}

}  // namespace qpane::web
