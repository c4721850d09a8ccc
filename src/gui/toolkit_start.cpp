#include "gui/toolkit_start.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace qpane {

namespace {

constexpr const char* kWithoutDisplay =
    "to run without a display, start it with QT_QPA_PLATFORM=offscreen or run "
    "scripts/demo --headless";

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// The handler that is in place while the application object is made: the toolkit reports
// a window system that it cannot start as a fatal message and then aborts.
QtMessageHandler toolkitHandler = nullptr;

void onToolkitMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        toolkitHandler(type, context, text);
        return;
    }
    std::fprintf(stderr, "%s\n", failedPlatformText().c_str());
    std::fflush(stderr);
    std::_Exit(kNoDisplayExitStatus);
}

}  // namespace

std::string missingDisplayText() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM")) return {};
    return std::string(
               "qpane: no display for the window (neither DISPLAY nor WAYLAND_DISPLAY "
               "is set); ") +
           kWithoutDisplay;
#else
    return {};
#endif
}

std::string failedPlatformText() {
    return std::string("qpane: the window system could not be started (see the message above); ") +
           kWithoutDisplay;
}

std::unique_ptr<QApplication> startToolkit(int& argc, char** argv) {
    const std::string missing = missingDisplayText();
    if (!missing.empty()) {
        std::fprintf(stderr, "%s\n", missing.c_str());
        std::exit(kNoDisplayExitStatus);
    }
    toolkitHandler = qInstallMessageHandler(onToolkitMessage);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(toolkitHandler);
    toolkitHandler = nullptr;
    return app;
}

void setUpApplication() {
    QApplication::setQuitOnLastWindowClosed(false);
}

}  // namespace qpane
