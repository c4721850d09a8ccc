#pragma once

#include <QTemporaryDir>

#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "gui/program.h"
#include "platform/message_boxes.h"
#include "platform/paths.h"
#include "platform/qt/qt_scheduler.h"
#include "serial/simulated/simulated_port_hub.h"

namespace qpane::testing {

// Message boxes answered by the test: questions take the queued answers (No when none is
// left), and everything shown is recorded.
class ScriptedBoxes : public MessageBoxes {
  public:
    bool askYesNo(const std::string& title, const std::string& text) override {
        asked.push_back(title + "|" + text);
        if (answers.empty()) return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void message(const std::string& text) override { messages.push_back(text); }
    void error(const std::string& text) override { errors.push_back(text); }

    std::deque<bool> answers;
    std::vector<std::string> asked, messages, errors;
};

// The console on a root folder of its own, with simulated ports and scripted boxes. The
// program goes first, so that its scheduler stops before anything it uses.
struct Console {
    QTemporaryDir root;
    SimulatedPortHub ports;
    QtScheduler scheduler;
    ScriptedBoxes boxes;
    std::unique_ptr<QpaneProgram> program;

    Paths paths() const { return Paths(root.path().toStdString()); }
    std::filesystem::path settingsFile() const { return paths().settingsFolder() / "Qcontrol.ini"; }

    void writeSettings(const std::string& text) const {
        std::filesystem::create_directories(paths().settingsFolder());
        std::ofstream(settingsFile(), std::ios::binary) << text;
    }
    std::string readSettings() const {
        std::ifstream in(settingsFile(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    bool create() {
        program = std::make_unique<QpaneProgram>(paths(), scheduler, boxes, ports);
        return program->create();
    }

    ~Console() { program.reset(); }
};

}  // namespace qpane::testing
