#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace qpane {

// A path as UTF-8 text, the form SQLite takes a file name in on every system and the form of
// the console's messages.
std::string pathText(const std::filesystem::path& path);

// The places on disk. The console's fixed folders are written as Windows paths on the drive
// "C:\"; they live below one root folder that stands for that drive.
class Paths {
  public:
    explicit Paths(std::filesystem::path root) : root_(std::move(root)) {}

    // The root named by QPANE_ROOT, else "qpane-root" in the user's home folder (on
    // Windows the drive C:\).
    static Paths fromEnvironment();

    const std::filesystem::path& root() const { return root_; }

    // "C:\Program Files\PORLEX\Alpine" -> <root>/Program Files/PORLEX/Alpine. A path without
    // a drive letter is taken below the root as well.
    std::filesystem::path mapDrivePath(std::string_view windowsPath) const;

    // The device that opens as serial port n: on Windows \\.\COMn; elsewhere
    // <root>/dev/COMn when it exists, else /dev/ttyS(n-1).
    std::string portDevice(int portNo) const;

    // The data folder of the result store and the folder of the settings file.
    std::filesystem::path dataFolder() const;
    std::filesystem::path settingsFolder() const;

  private:
    std::filesystem::path root_;
};

}  // namespace qpane
