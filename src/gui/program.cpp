#include "gui/program.h"

#include <filesystem>
#include <system_error>

#include "app/fqpane.h"
#include "gui/main_window.h"
#include "platform/qt/qt_scheduler.h"

namespace qpane {

QpaneProgram::QpaneProgram(Paths paths, QtScheduler& scheduler, MessageBoxes& boxes,
                           CommDeviceProvider& devices)
    : paths_(std::move(paths)), scheduler_(scheduler), boxes_(boxes), devices_(devices) {}

QpaneProgram::~QpaneProgram() {
    scheduler_.shutdown();
    window_.reset();
    core_.reset();
}

std::string QpaneProgram::storeFailureText(const std::string& reason) {
    return "結果データベースを開けません。プログラムを終了します。\n" + reason;
}

bool QpaneProgram::create() {
    // A first start on a fresh root: the folders of the settings file and of the store. A
    // folder that cannot be made shows up where it is used: the store does not open, or the
    // settings cannot be written at the end.
    for (const std::filesystem::path& folder : {paths_.settingsFolder(), paths_.dataFolder()}) {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
    }
    try {
        core_ = std::make_unique<TFqpane>(WindowEnvironment{scheduler_, boxes_, devices_, paths_});
    } catch (const std::exception& e) {
        boxes_.error(storeFailureText(e.what()));
        return false;
    }
    window_ = std::make_unique<MainWindow>(*core_, scheduler_);
    return true;
}

}  // namespace qpane
