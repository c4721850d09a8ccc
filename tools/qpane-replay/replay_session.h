#pragma once

#include <deque>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/message_boxes.h"
#include "platform/paths.h"
#include "platform/virtual/virtual_scheduler.h"
#include "scenario.h"
#include "serial/commx.h"
#include "serial/simulated/simulated_port_hub.h"
#include "transcript.h"

namespace qpane {
class TFqpane;
class WebFeed;
class Control;
}  // namespace qpane

namespace qpane::replay {

// Runs the console's own window logic from a scenario on virtual time, with simulated ports,
// and writes the transcript.
class ReplaySession : private MessageBoxes, private CommTrace {
  public:
    ReplaySession(std::filesystem::path root, std::ostream& out);
    ~ReplaySession() override;

    // Runs every action in order. Throws ScenarioError for an action that names something
    // the console does not have.
    void run(const std::vector<Action>& actions);

    // The live results page: served on listen from the first start on (empty: only when the
    // settings file has [Web] Listen). Messages about it go to standard error.
    void serveWeb(std::string listen) { webListen_ = std::move(listen); }
    // Every wait also lets its time pass on the wall clock, so that a page follows the race
    // as it would have run.
    void paceInRealTime(bool on) { paced_ = on; }
    // The page's address while it is served, else empty.
    std::string webAddress() const;

  private:
    void perform(const Action& a);
    void start();
    void close();
    void click(const Action& a, Control& c);
    void set(const Action& a, Control& c);
    void key(const Action& a, Control& c);
    void dump(const Action& a);
    void dumpControl(const Action& a, const std::string& name);
    void runSql(const std::string& statement, bool printRows);
    void writeIni(const std::string& key, const std::string& value);
    void writeIniRaw(const std::string& text);
    Control& control(const Action& a, const std::string& name);
    int portNumber(const Token& t) const;
    std::filesystem::path iniPath() const;

    // MessageBoxes
    bool askYesNo(const std::string& title, const std::string& text) override;
    void message(const std::string& text) override;
    void error(const std::string& text) override;

    // CommTrace
    void opened(const TCustomCommX& port) override;
    void openFailed(const TCustomCommX& port) override;
    void configChanged(const TCustomCommX& port) override;
    void closed(const TCustomCommX& port) override;
    void transmitted(const TCustomCommX& port, std::string_view bytes) override;
    std::string portLine(const char* kind, const TCustomCommX& port) const;

    Paths paths_;
    VirtualScheduler scheduler_;
    SimulatedPortHub hub_;
    Transcript transcript_;
    std::deque<bool> answers_;
    std::unique_ptr<WebFeed> web_;
    std::string webListen_;
    bool paced_ = false;
    std::unique_ptr<TFqpane> window_;
};

}  // namespace qpane::replay
