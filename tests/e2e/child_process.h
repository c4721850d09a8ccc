#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qpane::e2e {

// A program started by a test or benchmark, its standard output and error going to a file.
// It is ended when the object goes, at the latest: SIGTERM, and SIGKILL if it is still there
// after 5 s.
class ChildProcess {
  public:
    // env: "NAME=value" entries that are added to (or replace those of) this environment;
    // an entry "NAME" without "=" removes NAME. The child starts with the default action for
    // SIGTERM, SIGINT and SIGHUP, whatever this process ignores.
    ChildProcess(const std::vector<std::string>& args, const std::vector<std::string>& env,
                 const std::filesystem::path& output);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    // The exit status (128 + n for a signal n), or nothing if it did not end in time.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);
    void signal(int sig);

  private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// Checks condition every 20 ms until it holds or timeout passed; the last answer.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

std::string readFile(const std::filesystem::path& path);

}  // namespace qpane::e2e
