// The program qpane: the console's window on the real serial ports.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "gui/close_signals.h"
#include "gui/main_window.h"
#include "gui/program.h"
#include "gui/toolkit_start.h"
#include "platform/paths.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/qt/qt_scheduler.h"
#include "serial/serial_device_list.h"
#include "serial/system_comm_devices.h"

int main(int argc, char* argv[]) {
    // The serial devices present now, for the port map: no window, no display needed.
    if (argc == 2 && std::strcmp(argv[1], "--list-ports") == 0) {
        std::fputs(qpane::serialDeviceListText(qpane::listSerialDevices()).c_str(), stdout);
        return 0;
    }
    const std::unique_ptr<QApplication> app = qpane::startToolkit(argc, argv);
    qpane::setUpApplication();

    const qpane::Paths paths = qpane::Paths::fromEnvironment();
    qpane::QtScheduler scheduler;
    qpane::QtMessageBoxes boxes;
    const std::unique_ptr<qpane::CommDeviceProvider> devices = qpane::makeSystemCommDevices(paths);

    qpane::QpaneProgram program(paths, scheduler, boxes, *devices);
    if (!program.create()) return 1;
    boxes.setParent(&program.window());
    QObject::connect(&program.window(), &qpane::MainWindow::closed, app.get(), &QApplication::quit);
    // A kill, Ctrl-C or a closed terminal closes the window like its close button, after
    // whatever handler runs now.
    qpane::CloseSignals closeSignals;
    QObject::connect(&closeSignals, &qpane::CloseSignals::closeRequested, &program.window(),
                     &QWidget::close, Qt::QueuedConnection);
    program.window().show();
    return app->exec();
}
