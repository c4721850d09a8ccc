#include "app/traffic_journal.h"

#include <cstdio>
#include <ctime>

#include "platform/byte_text.h"
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
    std::tm tm{};
    localtime_r(&t, &tm);
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
                               uint64_t maxBytes, int generations)
    : folder_(std::move(folder)),
      file_(folder_ / kFileName),
      scheduler_(scheduler),
      maxBytes_(maxBytes),
      generations_(generations < 1 ? 1 : generations) {
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    size_ = std::filesystem::exists(file_, ec) ? std::filesystem::file_size(file_, ec) : 0;
    out_.open(file_, std::ios::binary | std::ios::app);
}

TrafficJournal::~TrafficJournal() {
    flush();
}

void TrafficJournal::beginSession(const std::string& settingsText, Database& store) {
    header_.clear();
    header_.push_back("session " + quoteBytes(settingsText));
    for (const std::string& statement : storedResultStatements(store))
        header_.push_back("store " + quoteBytes(statement));
    writeHeader();
}

void TrafficJournal::writeHeader() {
    for (const std::string& line : header_)
        record(line);
}

void TrafficJournal::record(const std::string& text) {
    if (!out_) return;  // a journal that cannot be written must not stop the race
    const std::string line =
        wallClock() + " " + std::to_string(scheduler_.now()) + " " + text + "\n";
    out_ << line;
    out_.flush();
    size_ += line.size();
    if (size_ >= maxBytes_) rotate();
}

void TrafficJournal::rotate() {
    out_.close();
    std::error_code ec;
    const auto generation = [&](int n) {
        return folder_ / ("traffic." + std::to_string(n) + ".journal");
    };
    std::filesystem::remove(generation(generations_), ec);
    for (int n = generations_ - 1; n >= 1; --n)
        std::filesystem::rename(generation(n), generation(n + 1), ec);
    std::filesystem::rename(file_, generation(1), ec);
    out_.open(file_, std::ios::binary | std::ios::trunc);
    size_ = 0;
    // The new file can be replayed on its own: it starts with the session again.
    const uint64_t limit = maxBytes_;
    maxBytes_ = UINT64_MAX;
    writeHeader();
    maxBytes_ = limit;
}

std::string TrafficJournal::portLine(const char* kind, const TCustomCommX& port) const {
    return std::string(kind) + " COM" + std::to_string(port.PortNo()) + " " +
           std::to_string(port.BitRate()) + " " + std::to_string(port.CharSize()) + " " +
           parityLetter(port.ParityBit());
}

void TrafficJournal::opened(const TCustomCommX& port) {
    flushReceived();
    record(portLine("open", port));
}

void TrafficJournal::openFailed(const TCustomCommX& port) {
    flushReceived();
    record("openfail COM" + std::to_string(port.PortNo()));
}

void TrafficJournal::closed(const TCustomCommX& port) {
    flushReceived();
    record("close COM" + std::to_string(port.PortNo()));
}

void TrafficJournal::transmitted(const TCustomCommX& port, std::string_view bytes) {
    flushReceived();
    record("tx COM" + std::to_string(port.PortNo()) + " " + quoteBytes(bytes));
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
        if (!out_) continue;
        const std::string line = wallClock() + " " + std::to_string(p.time) + " rx COM" +
                                 std::to_string(portNo) + " " + quoteBytes(bytes) + "\n";
        out_ << line;
        out_.flush();
        size_ += line.size();
        if (size_ >= maxBytes_) rotate();
    }
}

void TrafficJournal::flush() {
    flushReceived();
}

}  // namespace qpane
