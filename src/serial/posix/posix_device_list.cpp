#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <system_error>

#include "serial/serial_device_list.h"

namespace qpane {

namespace fs = std::filesystem;

namespace {

// ttyS2 before ttyS10: the name's digits at the end compare as a number.
bool naturalLess(const std::string& a, const std::string& b) {
    auto split = [](const std::string& s) {
        size_t i = s.size();
        while (i > 0 && std::isdigit(static_cast<unsigned char>(s[i - 1])))
            --i;
        const std::string digits = s.substr(i);
        return std::make_pair(s.substr(0, i), digits.empty() ? -1L : std::stol(digits));
    };
    return split(a) < split(b);
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end(), naturalLess);
    return names;
}

bool startsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

// A serial device that a port could use: it opens, without waiting for a carrier, and is a
// terminal with line settings.
bool answers(const fs::path& device) {
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    termios t{};
    const bool ok = ::tcgetattr(fd, &t) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

std::vector<SerialDeviceInfo> listSerialDevices(const SerialDeviceFolders& folders) {
    std::vector<SerialDeviceInfo> devices;
    for (const std::string& name : namesIn(folders.byId)) {
        const fs::path link = folders.byId / name;
        std::error_code ec;
        fs::path target = fs::canonical(link, ec);
        if (ec) continue;  // a link left behind by an adapter that is gone
        devices.push_back({link.string(), "-> " + target.string()});
    }
    const std::vector<std::string> names = namesIn(folders.dev);
    for (const char* prefix : {"ttyUSB", "ttyACM"})
        for (const std::string& name : names)
            if (startsWith(name, prefix)) devices.push_back({(folders.dev / name).string(), ""});
    for (const std::string& name : names)
        if (startsWith(name, "ttyS") && answers(folders.dev / name))
            devices.push_back({(folders.dev / name).string(), ""});
    return devices;
}

std::vector<SerialDeviceInfo> listSerialDevices() {
    return listSerialDevices(SerialDeviceFolders{});
}

}  // namespace qpane
