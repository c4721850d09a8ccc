#include <QApplication>
#include <QCommandLineParser>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <cstdio>

#include "controls/cute_button.h"
#include "controls/demo/demo_window.h"

namespace {

// Saves what the screen shows of the window; under a virtual X server this is the real output.
int saveScreenshot(qpane::DemoWindow& window, const QString& path) {
    QPixmap shot = window.screen()->grabWindow(window.winId());
    if (shot.isNull()) shot = window.grab();
    if (shot.isNull() || !shot.save(path, "PNG")) {
        std::fprintf(stderr, "cutebutton-demo: could not save the screenshot to %s\n",
                     qPrintable(path));
        return 1;
    }
    std::printf("cutebutton-demo: screenshot saved to %s (%dx%d)\n", qPrintable(path), shot.width(),
                shot.height());
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Shows TCuteButton in its states.");
    parser.addHelpOption();
    const QCommandLineOption screenshot("screenshot", "Save a PNG of the window and quit.", "file");
    parser.addOption(screenshot);
    parser.process(app);

    qpane::DemoWindow window;
    window.show();
    if (!parser.isSet(screenshot)) return app.exec();

    window.activateWindow();
    window.focusSample()->setFocus(Qt::OtherFocusReason);
    int result = 1;
    // Time for the window to be mapped and painted on the X server before it is read back.
    QTimer::singleShot(500, &app, [&] {
        result = saveScreenshot(window, parser.value(screenshot));
        app.quit();
    });
    app.exec();
    return result;
}
