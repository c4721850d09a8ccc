// Waits on the board's end of a live console's link, shared by the end-to-end benchmarks.
#pragma once

#include <poll.h>

#include <chrono>
#include <optional>

#include "pty_link.h"

namespace qpane::e2e {

// Waits for the first bytes on link; the moment they came, or nothing.
inline std::optional<std::chrono::steady_clock::time_point> firstBytes(
    sim::PtyLink& link, std::chrono::milliseconds limit) {
    pollfd p{link.fd(), POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(limit.count())) <= 0) return std::nullopt;
    const auto at = std::chrono::steady_clock::now();
    link.read();
    return at;
}

// Reads until quietMs pass without a byte: the rest of the pass's board rows.
inline void drain(sim::PtyLink& link, int quietMs) {
    pollfd p{link.fd(), POLLIN, 0};
    while (::poll(&p, 1, quietMs) > 0)
        link.read();
}

}  // namespace qpane::e2e
