#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "platform/file_calls.h"

namespace qpane::e2e {

// A new empty folder, removed with everything in it at the end.
class TempFolder {
  public:
    explicit TempFolder(const std::string& prefix = "qpane-e2e")
        : path_(file_calls::makeTemporaryFolder(prefix + "-")) {}
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace qpane::e2e
