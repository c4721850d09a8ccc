#include <cstdlib>

#include "platform/paths.h"

namespace qpane {

Paths Paths::fromEnvironment() {
    if (const char* env = std::getenv("QPANE_ROOT"); env && *env) return Paths(env);
    const char* home = std::getenv("HOME");
    return Paths(std::filesystem::path(home && *home ? home : ".") / "qpane-root");
}

std::string Paths::portDevice(int portNo) const {
    std::filesystem::path link = root_ / "dev" / ("COM" + std::to_string(portNo));
    std::error_code ec;
    if (std::filesystem::exists(link, ec)) return link.string();
    return "/dev/ttyS" + std::to_string(portNo - 1);
}

}  // namespace qpane
