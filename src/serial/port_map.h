#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/paths.h"
#include "platform/settings_file.h"

namespace qpane {

// The devices that the port numbers 1 to 9 stand for, as the operator named them in the
// settings file's section [Ports] (Port1=/dev/serial/by-id/..., Port3=COM12). A number without
// an entry opens the device it always has (Paths::portDevice).
class PortMap {
  public:
    static constexpr int kPorts = 9;
    static constexpr const char* kSection = "Ports";

    // The entries of the file; blank values and keys outside Port1..Port9 are no entries.
    static PortMap read(const SettingsFile& file);
    // Puts the entries into the file's content (saved with it). A key is written when it has
    // an entry or the file has it already (a removed entry becomes blank), so that a file
    // without a map gets no section.
    void write(SettingsFile& file) const;

    // The operator's name for port n; empty when n has none or is out of range.
    const std::string& entry(int portNo) const;
    void setEntry(int portNo, std::string_view device);

    // The silence limit of the input link in seconds (0: none), kept in the same section.
    int silenceSeconds = 0;

    // The device that port n opens: the entry (a COM name as \\.\COMn on Windows), else the
    // device of today.
    std::string devicePath(int portNo, const Paths& paths) const;
    // Why a mapped port n did not open, naming the entry and its device, and whether that
    // device is missing or there but would not open; empty when n has no entry.
    std::string openFailureText(int portNo, bool devicePresent) const;

    static std::string keyOf(int portNo) { return "Port" + std::to_string(portNo); }

    bool operator==(const PortMap&) const = default;

  private:
    std::array<std::string, kPorts> entries_;
};

}  // namespace qpane
