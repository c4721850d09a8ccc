#include "serial/port_map.h"

#include <algorithm>

#include "platform/byte_text.h"

namespace qpane {

namespace {

constexpr const char* kSilenceKey = "SilenceSeconds";

bool inRange(int portNo) {
    return portNo >= 1 && portNo <= PortMap::kPorts;
}

#ifdef _WIN32
// COM10 and above open only through the device namespace; a name given in it stays as it is.
std::string systemName(const std::string& entry) {
    if (entry.rfind("\\\\", 0) == 0) return entry;
    return "\\\\.\\" + entry;
}
#else
std::string systemName(const std::string& entry) {
    return entry;
}
#endif

}  // namespace

PortMap PortMap::read(const SettingsFile& file) {
    PortMap map;
    for (int n = 1; n <= kPorts; ++n)
        map.entries_[static_cast<size_t>(n - 1)] = file.readString(kSection, keyOf(n), "");
    map.silenceSeconds = std::max(0, file.readInteger(kSection, kSilenceKey, 0));
    return map;
}

void PortMap::write(SettingsFile& file) const {
    for (int n = 1; n <= kPorts; ++n) {
        const std::string& device = entry(n);
        if (!device.empty() || file.hasKey(kSection, keyOf(n)))
            file.setString(kSection, keyOf(n), device);
    }
    if (silenceSeconds != 0 || file.hasKey(kSection, kSilenceKey))
        file.setInteger(kSection, kSilenceKey, silenceSeconds);
}

const std::string& PortMap::entry(int portNo) const {
    static const std::string none;
    return inRange(portNo) ? entries_[static_cast<size_t>(portNo - 1)] : none;
}

void PortMap::setEntry(int portNo, std::string_view device) {
    if (inRange(portNo)) entries_[static_cast<size_t>(portNo - 1)] = trimBlanks(device);
}

std::string PortMap::devicePath(int portNo, const Paths& paths) const {
    const std::string& device = entry(portNo);
    return device.empty() ? paths.portDevice(portNo) : systemName(device);
}

std::string PortMap::openFailureText(int portNo, bool devicePresent) const {
    const std::string& device = entry(portNo);
    if (device.empty()) return {};
    const std::string named = "[" + std::string(kSection) + "] " + keyOf(portNo) + "=" + device;
    if (!devicePresent)
        return named +
               ": このデバイスはありません（アダプターが接続されているか確認してください）。";
    return named + ": このデバイスを開けません（使用中か、使用する権限がありません）。";
}

}  // namespace qpane
