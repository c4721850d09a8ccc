// The program qpane: the console's window on the real serial ports.
#include <QApplication>

#include "gui/main_window.h"
#include "gui/program.h"
#include "platform/paths.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/qt/qt_scheduler.h"
#include "serial/posix/posix_comm_device.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Q-PANE"));
    // The window ends the program itself, after its shut-down.
    QApplication::setQuitOnLastWindowClosed(false);

    const qpane::Paths paths = qpane::Paths::fromEnvironment();
    qpane::QtScheduler scheduler;
    qpane::QtMessageBoxes boxes;
    qpane::PosixCommDeviceProvider devices(paths);

    qpane::QpaneProgram program(paths, scheduler, boxes, devices);
    if (!program.create()) return 1;
    boxes.setParent(&program.window());
    QObject::connect(&program.window(), &qpane::MainWindow::closed, &app, &QApplication::quit);
    program.window().show();
    return app.exec();
}
