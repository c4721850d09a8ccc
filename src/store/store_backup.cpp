#include "store/store_backup.h"
#include "platform/paths.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <system_error>

#include <cerrno>

#include "platform/file_calls.h"
#include "store/query.h"
#include "store/store_problem.h"

namespace qpane {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPrefix = "QPANEData-";
constexpr std::string_view kExtension = ".db";
// "YYYYMMDD-HHMMSS-mmm"
constexpr size_t kTimeLength = 19;

bool digits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

EDatabaseError backupError(int code, const fs::path& file, const std::string& why) {
    const std::string problem = storeProblem(code);
    return EDatabaseError(
        "結果データベースのバックアップ " + pathText(file) +
            " を作成できません: " + (problem.empty() ? why : problem + "\n" + why),
        code, why);
}

}  // namespace

fs::path backupFolderOf(const fs::path& dataFolder) {
    return dataFolder / "backups";
}

std::string backupName(std::chrono::system_clock::time_point t, std::string_view suffix) {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(t.time_since_epoch()).count();
    // The calendar from the clock alone: the same on every system, with no time zone read.
    const auto day = floor<days>(sys_time<milliseconds>(milliseconds(ms)));
    const year_month_day date(day);
    const hh_mm_ss time(sys_time<milliseconds>(milliseconds(ms)) - day);
    char text[64];
    std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d-%03d", int(date.year()),
                  unsigned(date.month()), unsigned(date.day()), int(time.hours().count()),
                  int(time.minutes().count()), int(time.seconds().count()),
                  int(time.subseconds().count()));
    std::string name = std::string(kPrefix) + text;
    if (!suffix.empty()) name += "-" + std::string(suffix);
    return name + std::string(kExtension);
}

bool isBackupName(std::string_view name) {
    if (name.size() < kPrefix.size() + kTimeLength + kExtension.size()) return false;
    if (!name.starts_with(kPrefix) || !name.ends_with(kExtension)) return false;
    const std::string_view time = name.substr(kPrefix.size(), kTimeLength);
    if (!digits(time.substr(0, 8)) || time[8] != '-' || !digits(time.substr(9, 6)) ||
        time[15] != '-' || !digits(time.substr(16, 3)))
        return false;
    const std::string_view rest =
        name.substr(kPrefix.size() + kTimeLength,
                    name.size() - kPrefix.size() - kTimeLength - kExtension.size());
    return rest.empty() || (rest.size() > 1 && rest[0] == '-' &&
                            rest.find_first_of("/\\") == std::string_view::npos);
}

std::vector<std::string> backupNames(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = pathText(it->path().filename());
        if (isBackupName(name) && it->is_regular_file(ec)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void pruneBackups(const fs::path& folder, size_t keep) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = pathText(it->path().filename());
        if (name.ends_with(SteppedBackup::kTemporarySuffix) ||
            name.ends_with(std::string(SteppedBackup::kTemporarySuffix) + "-journal")) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
    const std::vector<std::string> names = backupNames(folder);
    for (size_t i = 0; i + keep < names.size(); ++i) {
        std::error_code ignored;
        fs::remove(folder / names[i], ignored);
    }
}

SteppedBackup::SteppedBackup(sqlite3* source, const fs::path& folder,
                             std::chrono::system_clock::time_point started, std::string_view suffix,
                             const std::string& vfs) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder, ec))
        throw backupError(SQLITE_CANTOPEN, folder,
                          "フォルダーを作成できません (" +
                              (ec ? ec.message() : std::string("フォルダーではありません")) + ")");
    for (;;) {
        file_ = folder / backupName(started, suffix);
        temporary_ = file_;
        temporary_ += kTemporarySuffix;
        if (!fs::exists(file_, ec) && !fs::exists(temporary_, ec)) break;
        started += std::chrono::milliseconds(1);
    }
    const std::string name = pathText(temporary_);
    const int opened =
        sqlite3_open_v2(name.c_str(), &target_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        vfs.empty() ? nullptr : vfs.c_str());
    if (opened != SQLITE_OK) {
        const std::string why = target_ ? sqlite3_errmsg(target_) : "out of memory";
        abandon();
        throw backupError(opened, file_, why);
    }
    // No journal and no syncs while the pages go in: a copy that fails is dropped whole, and
    // a flush of the disk in a step would be a pause of the race. The complete copy is
    // flushed once, when it takes its name.
    sqlite3_exec(target_, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr,
                 nullptr);
    backup_ = sqlite3_backup_init(target_, "main", source, "main");
    if (!backup_) {
        const int code = sqlite3_extended_errcode(target_);
        const std::string why = sqlite3_errmsg(target_);
        abandon();
        throw backupError(code, file_, why);
    }
}

SteppedBackup::~SteppedBackup() {
    if (!done_) abandon();
}

void SteppedBackup::abandon() {
    if (flushed_.valid()) flushed_.wait();
    if (backup_) sqlite3_backup_finish(backup_);
    backup_ = nullptr;
    if (target_) sqlite3_close_v2(target_);
    target_ = nullptr;
    std::error_code ignored;
    fs::remove(temporary_, ignored);
    fs::path journal = temporary_;
    journal += "-journal";
    fs::remove(journal, ignored);
}

void SteppedBackup::fail(int code, const std::string& text) {
    abandon();
    failed_ = true;
    failureCode_ = code;
    failure_ = text;
    throw backupError(code, file_, text);
}

bool SteppedBackup::step(int pages) {
    if (done_) return true;
    if (failed_) throw backupError(failureCode_, file_, failure_);
    if (flushed_.valid()) {
        if (pages >= 0 && flushed_.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            return false;
        const int error = flushed_.get();
        if (error != 0) fail(SQLITE_IOERR_FSYNC, std::system_category().message(error));
        std::error_code ec;
        fs::rename(temporary_, file_, ec);
        if (ec) fail(SQLITE_IOERR, ec.message());
        done_ = true;
        return true;
    }
    const int rc = sqlite3_backup_step(backup_, pages);
    remaining_ = sqlite3_backup_remaining(backup_);
    total_ = sqlite3_backup_pagecount(backup_);
    if (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED) return false;
    if (rc != SQLITE_DONE) fail(rc, sqlite3_errstr(rc));
    const int finished = sqlite3_backup_finish(backup_);
    backup_ = nullptr;
    if (finished != SQLITE_OK) fail(finished, sqlite3_errmsg(target_));
    const int closed = sqlite3_close(target_);
    target_ = nullptr;
    if (closed != SQLITE_OK) fail(closed, sqlite3_errstr(closed));
    // The flush of the disk, which may take tens of milliseconds, runs beside the race; the
    // copy takes its name at a later step, once the disk holds it.
    flushed_ = std::async(std::launch::async, [file = temporary_] {
        // Opened for writing: Windows flushes only a file open for writing.
        const int fd = file_calls::openToAppend(file, false);
        if (fd < 0) return errno;
        const int error = file_calls::syncFile(fd) ? 0 : errno;
        file_calls::closeFile(fd);
        return error;
    });
    return step(pages < 0 ? -1 : 0);
}

std::string backupFileAtOnce(const fs::path& from, const fs::path& folder,
                             std::chrono::system_clock::time_point started,
                             std::string_view suffix) {
    sqlite3* source = nullptr;
    const std::string name = pathText(from);
    const int opened = sqlite3_open_v2(name.c_str(), &source, SQLITE_OPEN_READONLY, nullptr);
    if (opened != SQLITE_OK) {
        const std::string why = source ? sqlite3_errmsg(source) : "out of memory";
        sqlite3_close_v2(source);
        throw backupError(opened, from, why);
    }
    try {
        SteppedBackup copy(source, folder, started, suffix);
        // Another program that holds the file busy is waited for as a statement would.
        for (int waited = 0; !copy.step(-1); waited += 10) {
            if (waited >= 2000) throw backupError(SQLITE_BUSY, from, sqlite3_errstr(SQLITE_BUSY));
            sqlite3_sleep(10);
        }
        sqlite3_close_v2(source);
        return pathText(copy.file().filename());
    } catch (...) {
        sqlite3_close_v2(source);
        throw;
    }
}

}  // namespace qpane
