// Chromium without a window, driven over its DevTools pipe: opens a page, evaluates script in
// it and takes screenshots, for the tests of the live page in a real browser.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace qpane::web::testing {

class HeadlessBrowser {
  public:
    // Starts chromium (false when it is not installed or does not start).
    bool start();
    ~HeadlessBrowser();

    // Opens url in a new tab and keeps that tab for evaluate and screenshot.
    bool open(const std::string& url);
    // The value of a script expression that gives a string ("" on any failure).
    std::string evaluate(const std::string& expression);
    // A PNG of the tab, written to file.
    bool screenshot(const std::filesystem::path& file);

  private:
    // Sends a command (of the tab's session when it has one) and returns its answer.
    std::string call(const std::string& method, const std::string& params, bool inTab = true);
    bool readMessage(std::string& message, int timeoutMs);

    pid_t pid_ = -1;
    int toBrowser_ = -1;
    int fromBrowser_ = -1;
    int nextId_ = 1;
    std::string pending_;
    std::string session_;
    std::filesystem::path profile_;
};

// The text of a JSON string value that follows "key": in json ("" when there is none).
std::string jsonStringField(const std::string& json, const std::string& key);

}  // namespace qpane::web::testing
