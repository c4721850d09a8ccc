#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/scheduler.h"
#include "serial/commx.h"

namespace qpane {

class Database;

// The journal of the console's traffic: every byte received and every line sent, with the
// time and the port, appended to a file in the data folder, so that an incident at a race
// can be replayed at the desk (qpane-replay --journal). A file that grows over its size is
// moved aside (traffic.1.journal, ...) and a new one starts with the session header again.
//
// One record a line: "<wall clock> <ms> <kind> ...", kinds session (the settings file),
// store (a statement that restores a stored result), open, openfail, close, rx, tx; byte
// strings in double quotes with the escapes of the replay transcript.
class TrafficJournal final : public CommTrace {
  public:
    static constexpr const char* kFileName = "traffic.journal";

    TrafficJournal(std::filesystem::path folder, Scheduler& scheduler, uint64_t maxBytes = 8u << 20,
                   int generations = 4);
    ~TrafficJournal() override;

    // Writes the session header: the settings file's text and the results stored now (groups
    // and times), which a later file of the same session repeats.
    void beginSession(const std::string& settingsText, Database& store);

    void opened(const TCustomCommX& port) override;
    void openFailed(const TCustomCommX& port) override;
    void closed(const TCustomCommX& port) override;
    void transmitted(const TCustomCommX& port, std::string_view bytes) override;
    void received(const TCustomCommX& port, std::string_view bytes) override;

    // Writes the received bytes still held back (they are gathered per receive event).
    void flush();

    const std::filesystem::path& file() const { return file_; }

  private:
    void record(const std::string& text);
    void writeHeader();
    void rotate();
    void flushReceived();
    std::string portLine(const char* kind, const TCustomCommX& port) const;

    std::filesystem::path folder_;
    std::filesystem::path file_;
    Scheduler& scheduler_;
    uint64_t maxBytes_;
    int generations_;
    std::ofstream out_;
    uint64_t size_ = 0;
    std::vector<std::string> header_;
    // Bytes of the receive event that is running, by port, with the time of their first byte.
    struct Pending {
        int64_t time = 0;
        std::string bytes;
    };
    std::map<int, Pending> pending_;
    bool flushPosted_ = false;
};

// A statement of the journal's store snapshot for every result row that holds a group other
// than "0" or a time.
std::vector<std::string> storedResultStatements(Database& store);

}  // namespace qpane
