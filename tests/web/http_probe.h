// A raw client for the live page's server: sends bytes as they are and reads what comes back,
// so that malformed requests reach the server unchanged.
#pragma once

#include <chrono>
#include <string>

namespace qpane::web::testing {

struct Exchange {
    std::string response;  // every byte the server sent before it closed or the time ran out
    bool closed = false;   // the server closed the connection
    int status() const;    // the status code of the first response line, 0 when there is none
    std::string body() const;
};

// Connects to 127.0.0.1:port, sends request (in pieces of chunk bytes when chunk > 0) and
// reads until the server closes or timeout passes.
Exchange exchange(int port, const std::string& request,
                  std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));

// A GET of target with the usual headers, Connection: close.
Exchange get(int port, const std::string& target, const std::string& method = "GET");

// A connected socket, or -1.
int connectTo(int port);

}  // namespace qpane::web::testing
