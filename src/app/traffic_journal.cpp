#include "app/traffic_journal.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/byte_text.h"
#include "platform/file_calls.h"
#include "store/database.h"
#include "store/query.h"

namespace qpane {

namespace {

std::string wallClock() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    const std::tm tm = file_calls::localTime(t);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                  static_cast<int>(ms));
    return buf;
}

const char* parityLetter(TCommParityBits p) {
    return p == cpbOdd ? "O" : p == cpbEven ? "E" : "N";
}

}  // namespace

std::vector<std::string> storedResultStatements(Database& store) {
    std::vector<std::string> columns;
    std::vector<Database::Row> rows;
    store.run(
        "select bib,block,grp,time1,time2,totalt,totaltv,lap from timedata where "
        "(grp is not null and grp<>'0') or time1 is not null or time2 is not null or "
        "totalt is not null or totaltv is not null or lap is not null",
        &columns, &rows);
    std::vector<std::string> statements;
    for (const Database::Row& r : rows) {
        auto v = [&](size_t i) { return sqlValue(r[i].value_or("")); };
        statements.push_back("update timedata set grp='" + v(2) + "',time1='" + v(3) + "',time2='" +
                             v(4) + "',totalt='" + v(5) + "',totaltv='" + v(6) + "',lap='" + v(7) +
                             "' where bib='" + v(0) + "' and block='" + v(1) + "'");
    }
    return statements;
}

TrafficJournal::TrafficJournal(std::filesystem::path folder, Scheduler& scheduler,
                               uint64_t maxBytes, int generations, std::unique_ptr<JournalFile> out)
    : folder_(std::move(folder)),
      path_(folder_ / kFileName),
      scheduler_(scheduler),
      maxBytes_(maxBytes),
      generations_(generations < 1 ? 1 : generations),
      out_(out ? std::move(out) : std::make_unique<JournalFile>()) {
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    if (out_->open(path_, false)) {
        size_ = out_->size();
    } else {
        // Told at the first record, when someone is there to be told.
        failing_ = true;
        failedAt_ = scheduler_.now();
    }
}

TrafficJournal::~TrafficJournal() {
    flush();
}

std::string TrafficJournal::failureText(const std::filesystem::path& file,
                                        const std::string& reason) {
    return "通信記録ファイルに書き込めません。レースはこのまま続けられます。書き込めるように"
           "なると記録を再開します（それまでの通信は記録されません）。\n" +
           file.string() + "\n" + reason;
}

void TrafficJournal::beginSession(const std::string& settingsText, Database& store) {
    settingsText_ = settingsText;
    store_ = &store;
    write(header(scheduler_.now()), /*isHeader=*/true);
}

std::string TrafficJournal::header(int64_t ms) {
    if (!store_) return {};
    const std::string stamp = wallClock() + " " + std::to_string(ms) + " ";
    std::string text = stamp + "session " + quoteBytes(settingsText_) + "\n";
    try {
        for (const std::string& statement : storedResultStatements(*store_))
            text += stamp + "store " + quoteBytes(statement) + "\n";
    } catch (const std::exception&) {
        // A store that cannot be read now leaves the results out; the settings still replay.
    }
    // A file that begins in the middle of a race opens the ports again where it begins.
    for (const auto& [portNo, line] : openPorts_)
        text += stamp + line + "\n";
    return text;
}

void TrafficJournal::record(int64_t ms, const std::string& text) {
    write(wallClock() + " " + std::to_string(ms) + " " + text + "\n", false);
}

void TrafficJournal::write(const std::string& records, bool isHeader) {
    std::string bytes;
    if (failing_) {
        // A disk that stays full is tried once a second, not at every byte that comes.
        const int64_t now = scheduler_.now();
        if (triedAt_ >= 0 && now - triedAt_ < kRetryIntervalMs) return lose(records);
        triedAt_ = now;
        if (!reopen()) return failed(records);
        bytes = isHeader ? records : header(now);
        if (lost_ > 0)
            bytes += "# " + wallClock() + " " + std::to_string(now) + " journal not written from " +
                     std::to_string(failedAt_) + " ms: " + std::to_string(lost_) +
                     " records missing\n";
        if (!isHeader) bytes += records;
    } else {
        bytes = records;
    }
    // The records that bring the journal back go out with its header in one write: a disk
    // with room for part of them only leaves no trace.
    if (!out_->append(bytes)) return failed(records);
    size_ += bytes.size();
    if (failing_) {
        failing_ = false;
        reported_ = false;
        movedAside_ = false;
        lost_ = 0;
    }
    if (size_ >= maxBytes_ && out_->regular()) rotate();
}

bool TrafficJournal::reopen() {
    // The journal comes back in a file of its own, which replays alone; the file that failed
    // keeps what it has up to the failure as the newest older generation. It is moved aside
    // once: the files of a failure that lasts are not pushed out one by one.
    out_->close();
    if (!movedAside_) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(path_, ec) &&
            std::filesystem::file_size(path_, ec) > 0 && !ec)
            moveAside();
        movedAside_ = true;
    }
    if (!out_->open(path_, false)) return false;
    size_ = out_->size();
    return true;
}

void TrafficJournal::lose(std::string_view records) {
    lost_ += static_cast<uint64_t>(std::count(records.begin(), records.end(), '\n'));
}

void TrafficJournal::failed(std::string_view records) {
    const std::string reason = std::strerror(errno);
    if (!failing_) {
        failing_ = true;
        failedAt_ = triedAt_ = scheduler_.now();
    }
    lose(records);
    if (reported_) return;
    reported_ = true;
    if (report_) report_(failureText(path_, reason));
}

void TrafficJournal::moveAside() {
    std::error_code ec;
    const auto generation = [&](int n) {
        return folder_ / ("traffic." + std::to_string(n) + ".journal");
    };
    std::filesystem::remove(generation(generations_), ec);
    for (int n = generations_ - 1; n >= 1; --n)
        std::filesystem::rename(generation(n), generation(n + 1), ec);
    std::filesystem::rename(path_, generation(1), ec);
}

void TrafficJournal::rotate() {
    out_->close();
    moveAside();
    // The new file can be replayed on its own: it starts with the session again.
    size_ = 0;
    const std::string text = header(scheduler_.now());
    if (!out_->open(path_, true) || !out_->append(text)) {
        // The records that follow open the file again and bring the header with them.
        failed({});
        return;
    }
    size_ = text.size();
}

std::string TrafficJournal::portLine(const char* kind, const TCustomCommX& port) const {
    return std::string(kind) + " COM" + std::to_string(port.PortNo()) + " " +
           std::to_string(port.BitRate()) + " " + std::to_string(port.CharSize()) + " " +
           parityLetter(port.ParityBit());
}

void TrafficJournal::opened(const TCustomCommX& port) {
    flushReceived();
    openPorts_[port.PortNo()] = portLine("open", port);
    record(scheduler_.now(), openPorts_[port.PortNo()]);
}

void TrafficJournal::openFailed(const TCustomCommX& port) {
    flushReceived();
    record(scheduler_.now(), "openfail COM" + std::to_string(port.PortNo()));
}

void TrafficJournal::closed(const TCustomCommX& port) {
    flushReceived();
    openPorts_.erase(port.PortNo());
    record(scheduler_.now(), "close COM" + std::to_string(port.PortNo()));
}

void TrafficJournal::transmitted(const TCustomCommX& port, std::string_view bytes) {
    flushReceived();
    record(scheduler_.now(), "tx COM" + std::to_string(port.PortNo()) + " " + quoteBytes(bytes));
}

void TrafficJournal::operatorAction(int64_t ms, const std::string& kind,
                                    const std::vector<std::string>& values) {
    flushReceived();
    std::string text = kind;
    for (const std::string& v : values)
        text += " " + quoteBytes(v);
    record(ms, text);
}

void TrafficJournal::received(const TCustomCommX& port, std::string_view bytes) {
    Pending& p = pending_[port.PortNo()];
    if (p.bytes.empty()) p.time = scheduler_.now();
    p.bytes.append(bytes);
    if (!flushPosted_) {
        // Runs once the receive event has ended: one record per event.
        flushPosted_ = true;
        scheduler_.post([this] {
            flushPosted_ = false;
            flushReceived();
        });
    }
}

void TrafficJournal::flushReceived() {
    for (auto& [portNo, p] : pending_) {
        if (p.bytes.empty()) continue;
        std::string bytes = std::move(p.bytes);
        p.bytes.clear();
        record(p.time, "rx COM" + std::to_string(portNo) + " " + quoteBytes(bytes));
    }
}

void TrafficJournal::flush() {
    flushReceived();
}

}  // namespace qpane
