#include "web/web_snapshot.h"

#include <chrono>

namespace qpane::web {

BoardMirror::BoardMirror() {
    for (int i = 0; i < kRows; ++i)
        rows[static_cast<size_t>(i)].letter = static_cast<char>('A' + i);
}

const RankedGroup* Rankings::find(const std::string& block, const std::string& group) const {
    for (const RankedGroup& g : groups)
        if (g.block == block && g.group == group) return &g;
    return nullptr;
}

int64_t wallClockMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace qpane::web
