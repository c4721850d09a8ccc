// Saves pictures of the window's pages as the screen shows them, to look at:
//   window_screenshot DIR   writes DIR/page1-board-control.png and the others.
// Run under a virtual X server (xvfb-run), so that what is saved is what the screen shows.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <cstdio>

#include "app/fqpane.h"
#include "gui/main_window.h"
#include "gui_test_support.h"

using namespace qpane;

namespace {

bool save(MainWindow& window, const QDir& dir, const char* name) {
    QTest::qWait(300);  // painted on the X server before it is read back
    QPixmap shot = window.screen()->grabWindow(window.winId());
    if (shot.isNull()) shot = window.grab();
    const QString path = dir.filePath(QString::fromLatin1(name));
    if (shot.isNull() || !shot.save(path, "PNG")) {
        std::fprintf(stderr, "window_screenshot: could not save %s\n", qPrintable(path));
        return false;
    }
    std::printf("window_screenshot: %s (%dx%d)\n", qPrintable(path), shot.width(), shot.height());
    return true;
}

// A race under way: run-1 times from the timing device on the simulated port 1, which the
// console stores, ranks and sends to the board; the data check page then shows the traffic.
void runRace(testing::Console& console) {
    for (const char* line : {"C1000500:01:20.11", "C1001800:01:21.02", "C1001200:01:23.45"})
        console.ports.push(1, std::string("\x02") + line + "\x03");
    QTest::qWait(1500);  // the processing cycle runs 500 ms after the last line
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_screenshot DIR\n");
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) return 1;

    testing::Console console;
    if (!console.create()) return 1;
    MainWindow& window = console.program->window();
    TFqpane& core = console.program->core();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    if (!QTest::qWaitFor([&] { return window.started(); }, 10000)) return 1;

    bool ok = save(window, dir, "page1-board-control.png");
    core.dispatch([&] { core.Button3Click(); });
    ok = save(window, dir, "page1-group-panel.png") && ok;
    core.dispatch([&] { core.Button3Click(); });

    // Port 1, then "実行": the ports open, the covers go and the data check page shows.
    core.dispatch([&] { core.RGport.SetItemIndex(1); });
    core.dispatch([&] { core.CuteButton3Click(); });
    runRace(console);
    ok = save(window, dir, "page2-data-check.png") && ok;
    core.dispatch([&] { core.showPage(core.TabSheet3); });
    ok = save(window, dir, "page3-output-pattern.png") && ok;
    core.dispatch([&] { core.showPage(core.TabSheet4); });
    ok = save(window, dir, "page4-maintenance.png") && ok;
    core.dispatch([&] { core.showPage(core.TabSheet1); });
    ok = save(window, dir, "page1-after-apply.png") && ok;
    return ok ? 0 : 1;
}
