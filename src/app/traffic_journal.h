#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/journal_file.h"
#include "app/operator_trace.h"
#include "platform/scheduler.h"
#include "serial/commx.h"

namespace qpane {

class Database;

// The journal of the console's traffic: every byte received and every line sent, with the
// time and the port, appended to a file in the data folder, so that an incident at a race
// can be replayed at the desk (qpane-replay --journal). A file that grows over its size is
// moved aside (traffic.1.journal, ...) and a new one starts with a header of its own: the
// session's settings, the results stored by then and the ports open then, so that each file
// replays alone.
//
// One record a line: "<wall clock> <ms> <kind> ...", kinds session (the settings file),
// store (a statement that restores a stored result), open, openfail, close, rx, tx, and the
// operator's actions (correct, group, reset, resetall, pattern, apply: see operator_trace.h);
// byte strings in double quotes with the escapes of the replay transcript. A line that starts
// with "#" is a note for the reader (the records that a failure of the disk cost).
//
// A journal that cannot be written (a full disk, an I/O error, a file that cannot be opened)
// never stops the race: it reports the failure once, drops records meanwhile, and tries
// again with a later record, once a second at most, opening the file afresh. It comes back
// in a new file (the one that failed is moved aside like a full one) that starts with its
// header and a note of how many records are missing; only a failure after that is reported
// again.
class TrafficJournal final : public CommTrace, public OperatorTrace {
  public:
    static constexpr const char* kFileName = "traffic.journal";
    using FailureReport = std::function<void(const std::string& text)>;

    TrafficJournal(std::filesystem::path folder, Scheduler& scheduler, uint64_t maxBytes = 8u << 20,
                   int generations = 4, std::unique_ptr<JournalFile> out = nullptr);
    ~TrafficJournal() override;

    // Called with a text for the operator when the journal stops being written, on the thread
    // of the record that failed (inside the handler that sent or received).
    void setFailureReport(FailureReport report) { report_ = std::move(report); }
    // What the operator is told: the file, the system's reason and that the race goes on.
    static std::string failureText(const std::filesystem::path& file, const std::string& reason);

    // Writes the session header: the settings file's text and the results stored now (groups
    // and times). A later file of the same session starts with the settings again and the
    // results stored by then.
    void beginSession(const std::string& settingsText, Database& store);

    void opened(const TCustomCommX& port) override;
    void openFailed(const TCustomCommX& port) override;
    void closed(const TCustomCommX& port) override;
    void transmitted(const TCustomCommX& port, std::string_view bytes) override;
    void received(const TCustomCommX& port, std::string_view bytes) override;

    void operatorAction(int64_t ms, const std::string& kind,
                        const std::vector<std::string>& values) override;

    // Writes the received bytes still held back (they are gathered per receive event).
    void flush();

    const std::filesystem::path& file() const { return path_; }

  private:
    void record(int64_t ms, const std::string& text);
    // Appends whole records (each ending its line); isHeader: they are the session header.
    void write(const std::string& records, bool isHeader);
    // The session header as records of the moment ms, with the results stored now.
    std::string header(int64_t ms);
    void rotate();
    // After a failure: opens the file again, a new one when the old one still holds records.
    bool reopen();
    // The file and its older generations move one generation on; the oldest is dropped.
    void moveAside();
    // The write of records failed (errno tells why): they are dropped, and so are the
    // records that follow until one goes out again.
    void failed(std::string_view records);
    void lose(std::string_view records);
    void flushReceived();
    std::string portLine(const char* kind, const TCustomCommX& port) const;

    std::filesystem::path folder_;
    std::filesystem::path path_;
    Scheduler& scheduler_;
    uint64_t maxBytes_;
    int generations_;
    std::unique_ptr<JournalFile> out_;
    uint64_t size_ = 0;
    std::string settingsText_;
    Database* store_ = nullptr;
    std::map<int, std::string> openPorts_;  // the open record of each port open now
    FailureReport report_;
    // Since the write that failed at failedAt_: the records dropped, and whether the operator
    // has been told (once until a record goes out again).
    bool failing_ = false;
    bool reported_ = false;
    bool movedAside_ = false;  // the file that failed has been moved aside
    int64_t failedAt_ = 0;
    int64_t triedAt_ = -1;  // the last try to write again
    static constexpr int64_t kRetryIntervalMs = 1000;
    uint64_t lost_ = 0;
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
