#include "gui/program.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "app/fqpane.h"
#include "app/traffic_journal.h"
#include "app/web_feed.h"
#include "gui/control_binder.h"
#include "gui/main_window.h"
#include "platform/qt/qt_scheduler.h"

namespace qpane {

QpaneProgram::QpaneProgram(Paths paths, QtScheduler& scheduler, MessageBoxes& boxes,
                           CommDeviceProvider& devices)
    : paths_(std::move(paths)), scheduler_(scheduler), boxes_(boxes), devices_(devices) {}

QpaneProgram::~QpaneProgram() {
    scheduler_.shutdown();
    window_.reset();
    web_.reset();
    core_.reset();
}

std::string QpaneProgram::storeFailureText(const std::string& reason) {
    return "結果データベースを開けません。プログラムを終了します。\n" + reason;
}

std::string QpaneProgram::windowFailureText(const std::string& reason) {
    return "画面を組み立てられません。プログラムを終了します。\n" + reason;
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
    journal_ = std::make_unique<TrafficJournal>(paths_.dataFolder(), scheduler_);
    // Told in a box of its own once the handler that met the failure has ended; the race
    // goes on (the core's report would also free a buffered batch in the middle).
    journal_->setFailureReport(
        [this](const std::string& text) { scheduler_.post([this, text] { boxes_.error(text); }); });
    core_->CommX1.setTrace(journal_.get());
    core_->CommX2.setTrace(journal_.get());
    core_->operatorTrace = journal_.get();
    try {
        window_ = std::make_unique<MainWindow>(*core_, scheduler_);
    } catch (const BindingError& e) {
        // A window built without the widget of a control would leave the operator without it.
        boxes_.error(windowFailureText(e.what()));
        return false;
    }
    web_ = std::make_unique<WebFeed>();
    web_->attach(*core_);
    const std::string listen = WebFeed::listenSetting(*core_);
    window_->setLiveFeed(*web_, QString::fromStdString(listen));
    if (!listen.empty()) {
        const std::string problem = web_->serve(listen);
        // The race does not need the page: the console starts either way.
        if (!problem.empty()) boxes_.message(problem);
    }
    // The session header: the settings as start-up read them and the results stored then.
    QObject::connect(window_.get(), &MainWindow::startUpDone, [this] {
        std::ifstream in(paths_.settingsFolder() / "Qcontrol.ini", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        try {
            journal_->beginSession(text.str(), core_->Db1);
        } catch (const std::exception&) {
            // The journal serves later diagnosis; it never stops a race.
        }
    });
    return true;
}

}  // namespace qpane
