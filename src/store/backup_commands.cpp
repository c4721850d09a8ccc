#include "store/backup_commands.h"

#include <sqlite3.h>

#include <chrono>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/paths.h"
#include "store/database.h"
#include "store/installation.h"
#include "store/query.h"
#include "store/sqlite_calls.h"
#include "store/store_backup.h"
#include "store/store_lock.h"

namespace qpane {

namespace fs = std::filesystem;

namespace {

struct Connection {
    sqlite3* db = nullptr;
    ~Connection() { sqlite3_close_v2(db); }
};

// Why the file cannot stand in for the store ("" when it can): it must open, pass SQLite's
// check and hold the console's tables.
std::string unsoundBackup(const fs::path& file) {
    Connection c;
    if (sqlite3_open_v2(pathText(file).c_str(), &c.db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return c.db ? sqlite3_errmsg(c.db) : "out of memory";
    try {
        const std::vector<std::string> check = firstColumn(c.db, "PRAGMA quick_check");
        if (check.empty() || check[0] != "ok")
            return "ファイルが壊れています (" + (check.empty() ? std::string() : check[0]) + ")";
        const std::string missing = missingConsoleTable(c.db);
        if (!missing.empty()) return "Q-PANE の結果データベースではありません (" + missing + ")";
    } catch (const EDatabaseError& e) {
        return e.what();
    }
    return {};
}

// Writes every page of `from` over the store file, in one transaction of the store's own
// connection, so that its write-ahead log stays consistent with the file.
void copyOver(const fs::path& from, const fs::path& store) {
    Connection source, target;
    if (sqlite3_open_v2(pathText(from).c_str(), &source.db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK)
        throwDatabaseError(source.db);
    if (sqlite3_open_v2(pathText(store).c_str(), &target.db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        throwDatabaseError(target.db);
    sqlite3_busy_timeout(target.db, Database::kBusyTimeoutMs);
    sqlite3_backup* copy = sqlite3_backup_init(target.db, "main", source.db, "main");
    if (!copy) throwDatabaseError(target.db);
    const int stepped = sqlite3_backup_step(copy, -1);
    const int finished = sqlite3_backup_finish(copy);
    if (stepped != SQLITE_DONE)
        throw EDatabaseError(sqlite3_errstr(stepped), stepped, sqlite3_errstr(stepped));
    if (finished != SQLITE_OK) throwDatabaseError(target.db);
}

}  // namespace

int listBackups(const fs::path& root, std::ostream& out, std::ostream& err) {
    const fs::path folder = backupFolderOf(Paths(root).dataFolder());
    std::vector<std::string> names = backupNames(folder);
    if (names.empty()) {
        err << "バックアップはありません: " << pathText(folder) << "\n";
        return 0;
    }
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        std::error_code ec;
        const auto size = fs::file_size(folder / *it, ec);
        out << *it << "\t" << (ec ? 0 : size) << "\n";
    }
    return 0;
}

int restoreBackup(const fs::path& root, const std::string& name, std::ostream& out,
                  std::ostream& err) {
    const fs::path dataFolder = Paths(root).dataFolder();
    const fs::path folder = backupFolderOf(dataFolder);
    const fs::path backup = folder / name;
    std::error_code ec;
    if (!isBackupName(name) || !fs::is_regular_file(backup, ec)) {
        err << "バックアップ " << name << " はありません (" << pathText(folder)
            << ")。--backups で一覧を表示できます。\n";
        return 1;
    }
    const std::string unsound = unsoundBackup(backup);
    if (!unsound.empty()) {
        err << "バックアップ " << name << " は戻せません: " << unsound << "\n";
        return 1;
    }
    std::optional<StoreLock> lock = StoreLock::tryTake(dataFolder);
    if (!lock) {
        err << "コンソールが結果データベースを開いています ("
            << pathText(dataFolder / StoreLock::kFileName)
            << " をロック中)。コンソールを終了してから、もう一度実行してください。\n";
        return 1;
    }
    const fs::path store = Database::fileIn(dataFolder);
    try {
        if (fs::exists(store, ec)) {
            const std::string kept =
                backupFileAtOnce(store, folder, std::chrono::system_clock::now(), "before-restore");
            out << "今の結果データベースを " << kept << " に保存しました。\n";
        }
        copyOver(backup, store);
    } catch (const EDatabaseError& e) {
        err << "バックアップ " << name << " を戻せません: " << e.what() << "\n";
        return 1;
    }
    pruneBackups(folder);
    out << name << " を結果データベースに戻しました。\n";
    return 0;
}

}  // namespace qpane
