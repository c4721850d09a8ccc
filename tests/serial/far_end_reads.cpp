// The far end's reads, the same on both systems over the read of each (receiveWhile).
#include <cstdint>

#include "far_end.h"

namespace qpane {

std::string FarEnd::receive(size_t n, int timeoutMs) {
    return receiveWhile([n](const std::string& got) { return n - got.size(); }, timeoutMs);
}

std::string FarEnd::receiveFor(int quietMs) {
    return receive(SIZE_MAX, quietMs);
}

std::string FarEnd::receiveUntil(std::string_view end, int timeoutMs) {
    return receiveWhile(
        [end](const std::string& got) -> size_t {
            const bool ended = got.size() >= end.size() &&
                               got.compare(got.size() - end.size(), end.size(), end) == 0;
            return ended ? 0 : 65536;
        },
        timeoutMs);
}

}  // namespace qpane
