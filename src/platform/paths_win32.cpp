#include <cstdlib>

#include "platform/paths.h"

namespace qpane {

// On Windows the fixed folders are on the real drive; QPANE_ROOT still moves them, so that
// tests and replays keep to a folder of their own.
Paths Paths::fromEnvironment() {
    if (const char* env = std::getenv("QPANE_ROOT"); env && *env) return Paths(env);
    return Paths("C:\\");
}

// The device namespace form: "COM10" and above open only so, and the lower ones as well.
std::string Paths::portDevice(int portNo) const {
    return "\\\\.\\COM" + std::to_string(portNo);
}

}  // namespace qpane
