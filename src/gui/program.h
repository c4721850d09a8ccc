#pragma once

#include <memory>
#include <string>

#include "platform/paths.h"

namespace qpane {

class CommDeviceProvider;
class MainWindow;
class MessageBoxes;
class QtScheduler;
class TFqpane;
class TrafficJournal;
class WebFeed;

// The running console: the installation folders, the main window's core (which opens the
// result store) and its window, made in that order. The scheduler, the boxes and the serial
// devices come from outside, so that tests answer the boxes and simulate the ports.
class QpaneProgram {
  public:
    QpaneProgram(Paths paths, QtScheduler& scheduler, MessageBoxes& boxes,
                 CommDeviceProvider& devices);
    // Stops the scheduler before the window and the core go, so that nothing still waiting
    // runs on them and a port thread waiting for the window is let go.
    ~QpaneProgram();
    QpaneProgram(const QpaneProgram&) = delete;
    QpaneProgram& operator=(const QpaneProgram&) = delete;

    // Makes the folders, the core and the window (not shown). When the result store cannot be
    // opened, or the window has no widget for a control of the core, it shows why and returns
    // false: the program does not start.
    bool create();

    TFqpane& core() const { return *core_; }
    // The journal of the ports' traffic in the data folder.
    TrafficJournal& journal() const { return *journal_; }
    MainWindow& window() const { return *window_; }
    // The live results page of the core (served when [Web] Listen is set, or switched on in
    // the face).
    WebFeed& liveFeed() const { return *web_; }

    // The message shown when the store cannot be opened.
    static std::string storeFailureText(const std::string& reason);
    // The message shown when the window's widgets do not fit the core's controls.
    static std::string windowFailureText(const std::string& reason);

  private:
    Paths paths_;
    QtScheduler& scheduler_;
    MessageBoxes& boxes_;
    CommDeviceProvider& devices_;
    // Declared before the core: the ports report their last close to it when they go.
    std::unique_ptr<TrafficJournal> journal_;
    std::unique_ptr<TFqpane> core_;
    std::unique_ptr<WebFeed> web_;
    std::unique_ptr<MainWindow> window_;
};

}  // namespace qpane
