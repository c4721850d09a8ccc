#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "board/board_output.h"
#include "input/line_list.h"
#include "platform/virtual/virtual_scheduler.h"
#include "serial/commx.h"
#include "serial/simulated/simulated_port_hub.h"

namespace qpane::testing {

// Keeps every send that reaches an open port as "time COMn bytes".
class SendTrace final : public CommTrace {
  public:
    explicit SendTrace(const Scheduler& s) : s_(s) {}
    void transmitted(const TCustomCommX& port, std::string_view bytes) override {
        sends.push_back(std::to_string(s_.now()) + " COM" + std::to_string(port.PortNo()) + " " +
                        std::string(bytes));
    }
    std::vector<std::string> sends;

  private:
    const Scheduler& s_;
};

// A board output over two simulated ports that are both open on COM1 and COM2, so that only
// the window's settings (pinout and the open flags, set by each test) choose where a line
// goes. Time starts at 0 once the ports are open.
class BoardPorts {
  public:
    BoardPorts() {
        commX1.SetPortNo(1);
        commX2.SetPortNo(2);
        commX1.Open();
        commX2.Open();
        commX1.setTrace(&trace);
        commX2.setTrace(&trace);
        start = scheduler.now();
    }
    ~BoardPorts() {
        commX1.setTrace(nullptr);
        commX2.setTrace(nullptr);
    }
    // The sends since the ports opened, with the time counted from then.
    std::vector<std::string> sends() const {
        std::vector<std::string> out;
        for (const std::string& s : trace.sends) {
            const size_t blank = s.find(' ');
            out.push_back(std::to_string(std::stoll(s.substr(0, blank)) - start) + s.substr(blank));
        }
        return out;
    }
    int64_t elapsed() const { return scheduler.now() - start; }
    std::vector<std::string> logLines() const {
        std::vector<std::string> lines;
        for (size_t i = 0; i < outputLog.count(); ++i)
            lines.push_back(outputLog.line(i));
        return lines;
    }

    VirtualScheduler scheduler;
    SimulatedPortHub hub;
    SendTrace trace{scheduler};
    TCommX commX1{scheduler, hub};
    TCommX commX2{scheduler, hub};
    LineList outputLog;
    int pinout = 0;
    bool port1Open = true;
    bool port2Open = true;
    std::string sendText;
    BoardOutput output{commX1,  commX2, scheduler, outputLog, {pinout, port1Open, port2Open},
                       sendText};
    int64_t start = 0;
};

}  // namespace qpane::testing
