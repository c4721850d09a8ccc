#include "window_harness.h"

#include <unistd.h>

#include <atomic>

#include "platform/settings_file.h"
#include "store/database.h"
#include "store/query.h"
#include "store/tableupdate.h"

namespace qpane::testing {

namespace {

namespace fs = std::filesystem;

class SilentBoxes : public MessageBoxes {
  public:
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void message(const std::string&) override {}
    void error(const std::string&) override {}
};

// An upgraded installation store, made once per test program.
const fs::path& upgradedDataFolder() {
    static const fs::path folder = [] {
        fs::path dir = fs::temp_directory_path() / ("qpane-upgraded-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        Database db(dir);
        TQuery q(db, "Qedit");
        SilentBoxes boxes;
        tableupdate(q, boxes);
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(
                fs::temp_directory_path() / ("qpane-upgraded-" + std::to_string(::getpid())), ec);
        });
        return dir;
    }();
    return folder;
}

fs::path freshRoot() {
    static std::atomic<int> counter{0};
    fs::path root = fs::temp_directory_path() / ("qpane-window-" + std::to_string(::getpid()) +
                                                 "-" + std::to_string(counter++));
    fs::remove_all(root);
    return root;
}

}  // namespace

bool RecordingBoxes::askYesNo(const std::string& title, const std::string& text) {
    questions.push_back(title + " " + text);
    if (answers.empty()) return false;
    bool yes = answers.front();
    answers.pop_front();
    return yes;
}

WindowHarness::WindowHarness(std::initializer_list<Setting> settings, bool recordWrites,
                             const std::string& storeVfs)
    : root_(freshRoot()), hub_(recordWrites) {
    Paths paths(root_);
    fs::create_directories(paths.dataFolder().parent_path());
    fs::copy(upgradedDataFolder(), paths.dataFolder(), fs::copy_options::recursive);
    fs::create_directories(paths.settingsFolder());
    SettingsFile ini(paths.settingsFolder() / "Qcontrol.ini");
    for (const auto& [key, value] : settings)
        ini.writeString("Boad", key, value);
    try {
        window_ =
            std::make_unique<TFqpane>(WindowEnvironment{scheduler_, boxes_, hub_, paths, storeVfs});
    } catch (...) {
        std::error_code ec;
        fs::remove_all(root_, ec);
        throw;
    }
}

WindowHarness::~WindowHarness() {
    window_.reset();
    std::error_code ec;
    fs::remove_all(root_, ec);
}

void WindowHarness::start() {
    act([this] { window_->FormShow(); });
}

void WindowHarness::apply() {
    act([this] { window_->CuteButton3Click(); });
}

std::vector<std::string> WindowHarness::sql(const std::string& statement) {
    std::vector<Database::Row> rows;
    window_->Db1.run(statement, nullptr, &rows);
    std::vector<std::string> out;
    for (const auto& row : rows)
        out.push_back(row.empty() ? "" : row[0].value_or("<null>"));
    return out;
}

}  // namespace qpane::testing
