#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace qpane::web {

// A value of [Web] Listen that cannot be used; the message names the value and what is wrong.
class ListenError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Where the live page listens: "127.0.0.1:8086", "0.0.0.0:8086" (every network), "[::1]:8086".
// Port 0 takes any free port (the tests use it).
struct ListenAddress {
    std::string host;  // without brackets
    int port = 0;
};

// Throws ListenError for a value without host or port, a port that is not a number from 0 to
// 65535, or a host with characters no address or name has.
ListenAddress parseListen(std::string_view value);

}  // namespace qpane::web
