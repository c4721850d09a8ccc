// The server of a build without an HTTP library (the Windows build made from Debian, whose
// cpp-httplib is built for Linux only): the snapshots and pages exist, but starting says that
// this build cannot serve them, and the race goes on without the page.
#include "web/web_server.h"

namespace qpane::web {

class WebServer::Impl {};

WebServer::WebServer(SnapshotBox&, WebLimits) {}

WebServer::~WebServer() = default;

void WebServer::start(const ListenAddress&) {
    throw WebServerError("この版の速報ページは配信できません (HTTP サーバーなしで作られました)");
}

void WebServer::stop() {}

bool WebServer::running() const {
    return false;
}

int WebServer::port() const {
    return 0;
}

std::string WebServer::pageAddress() const {
    return {};
}

size_t WebServer::followers() const {
    return 0;
}

}  // namespace qpane::web
