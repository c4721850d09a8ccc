#include "replay_session.h"

#include <fstream>
#include <sstream>

#include <chrono>
#include <iostream>
#include <thread>

#include "app/fqpane.h"
#include "app/run_state_fields.h"
#include "app/web_feed.h"
#include "platform/convert.h"
#include "platform/settings_file.h"
#include "store/database.h"

namespace qpane::replay {

namespace {

const char* parityLetter(TCommParityBits p) {
    switch (p) {
        case cpbOdd: return "O";
        case cpbEven: return "E";
        default: return "N";
    }
}

const char* stopBitsText(TCommStopBits s) {
    switch (s) {
        case csb1p5: return "1.5";
        case csb2: return "2";
        default: return "1";
    }
}

const char* flowText(TCommFlowCtrls f) {
    switch (f) {
        case cfcRtsCts: return "rtscts";
        case cfcDtrDsr: return "dtrdsr";
        case cfcXonXoff: return "xonxoff";
        case cfcHalfHigh: return "halfhigh";
        case cfcHalfLow: return "halflow";
        default: return "none";
    }
}

std::string flagText(bool b) {
    return b ? "1" : "0";
}

}  // namespace

ReplaySession::ReplaySession(std::filesystem::path root, std::ostream& out)
    : paths_(std::move(root)),
      hub_(/*recordWrites=*/false),
      transcript_(out, [this] { return scheduler_.now(); }) {}

ReplaySession::~ReplaySession() {
    if (web_) web_->detach();
    if (window_) window_->CommX2.setTrace(nullptr), window_->CommX1.setTrace(nullptr);
}

void ReplaySession::run(const std::vector<Action>& actions) {
    for (const Action& a : actions) {
        const auto began = std::chrono::steady_clock::now();
        perform(a);
        scheduler_.runPosted();
        if (paced_ && a.verb == "wait")
            std::this_thread::sleep_until(began +
                                          std::chrono::milliseconds(StrToInt64(a.args[0].text)));
    }
}

std::string ReplaySession::webAddress() const {
    return web_ ? web_->server().pageAddress() : std::string();
}

int ReplaySession::portNumber(const Token& t) const {
    return StrToInt(t.text.substr(3));
}

std::filesystem::path ReplaySession::iniPath() const {
    return paths_.settingsFolder() / "Qcontrol.ini";
}

Control& ReplaySession::control(const Action& a, const std::string& name) {
    if (!window_) throw ScenarioError(a.line, "'" + a.verb + "' needs a started window");
    Control* c = window_->controls.find(name);
    if (!c) throw ScenarioError(a.line, "the window has no control '" + name + "'");
    return *c;
}

void ReplaySession::perform(const Action& a) {
    const std::string& v = a.verb;
    if (v == "ini") return writeIni(a.args[0].text, a.args[1].text);
    if (v == "iniraw") return writeIniRaw(a.args[0].text);
    if (v == "sql") return runSql(a.args[0].text, false);
    if (v == "portfail") return hub_.setFailing(portNumber(a.args[0]), true);
    if (v == "portok") return hub_.setFailing(portNumber(a.args[0]), false);
    if (v == "start") {
        if (window_) throw ScenarioError(a.line, "the window is already started");
        return start();
    }
    if (v == "answer") {
        for (const Token& t : a.args)
            answers_.push_back(t.text == "yes");
        return;
    }
    if (v == "wait") return scheduler_.advance(StrToInt64(a.args[0].text));
    if (v == "rx") return hub_.push(portNumber(a.args[0]), a.args[1].text);
    if (v == "close") {
        if (!window_) throw ScenarioError(a.line, "no window to close");
        return close();
    }
    if (v == "dump") return dump(a);

    Control& c = control(a, a.args[0].text);
    if (v == "click") return click(a, c);
    if (v == "set") return set(a, c);
    if (v == "leave") {
        if (c.OnExit) window_->dispatch(c.OnExit);
        return;
    }
    if (v == "row") {
        auto* grid = dynamic_cast<GridControl*>(&c);
        if (!grid) throw ScenarioError(a.line, "'" + c.name() + "' is not a grid");
        grid->query().setRecNo(StrToInt(a.args[1].text));
        return;
    }
    if (v == "key") return key(a, c);
}

void ReplaySession::start() {
    WindowEnvironment env{scheduler_, *this, hub_, paths_};
    try {
        window_ = std::make_unique<TFqpane>(env);
    } catch (const std::exception& e) {
        error(e.what());  // the program does not start
        return;
    }
    window_->CommX1.setTrace(this);
    window_->CommX2.setTrace(this);
    window_->onCloseRequest = [this] { close(); };
    const std::string listen = webListen_.empty() ? WebFeed::listenSetting(*window_) : webListen_;
    if (!listen.empty()) {
        if (!web_) web_ = std::make_unique<WebFeed>();
        web_->attach(*window_);
        if (!web_->server().running()) {
            const std::string problem = web_->serve(listen);
            std::cerr << "qpane-replay: "
                      << (problem.empty() ? "live page at " + web_->server().pageAddress()
                                          : problem)
                      << std::endl;
        }
    }
    window_->dispatch([this] { window_->FormShow(); });
}

void ReplaySession::close() {
    if (!window_) return;
    std::unique_ptr<TFqpane> window = std::move(window_);
    window->dispatch([&] { window->FormClose(); });
    if (web_) web_->detach();  // the page keeps the last board and ranking
    // The components end with the window: an open CommX2 closes now.
    window->dispatch([&] { window->CommX2.Close(); });
    window->CommX1.setTrace(nullptr);
    window->CommX2.setTrace(nullptr);
    window.reset();
}

void ReplaySession::click(const Action& a, Control& c) {
    if (window_->refuses(c)) {
        transcript_.event("refused " + c.name());
        return;
    }
    TFqpane& w = *window_;
    switch (c.kind()) {
        case ControlKind::Page: w.dispatch([&] { w.showPage(c); }); return;
        case ControlKind::CheckBox: {
            auto& box = static_cast<CheckBox&>(c);
            w.dispatch([&] { box.SetChecked(!box.Checked()); });
            return;
        }
        default:
            if (&c == &w.CuteButton2) return close();
            // A grid cell or a label without a click handler runs nothing.
            if (!c.OnClick) {
                if (c.kind() == ControlKind::Grid || c.kind() == ControlKind::Label) return;
                throw ScenarioError(a.line, "'" + c.name() + "' cannot be clicked");
            }
            w.dispatch(c.OnClick);
    }
}

void ReplaySession::set(const Action& a, Control& c) {
    if (window_->refuses(c)) {
        transcript_.event("refused " + c.name());
        return;
    }
    TFqpane& w = *window_;
    const std::string& value = a.args[1].text;
    auto number = [&] {
        try {
            return StrToInt(value);
        } catch (const EConvertError&) {
            throw ScenarioError(a.line, "'" + c.name() + "' takes a whole number");
        }
    };
    switch (c.kind()) {
        case ControlKind::RadioGroup: {
            int item = number();
            w.dispatch([&] { static_cast<RadioGroup&>(c).SetItemIndex(item); });
            return;
        }
        case ControlKind::CheckBox: {
            int checked = number();
            w.dispatch([&] { static_cast<CheckBox&>(c).SetChecked(checked != 0); });
            return;
        }
        case ControlKind::SpinEdit:
            w.dispatch([&] { static_cast<SpinEdit&>(c).SetText(value); });
            return;
        case ControlKind::MaskEdit:
            w.dispatch([&] { static_cast<MaskEdit&>(c).typeText(value); });
            return;
        case ControlKind::Edit: w.dispatch([&] { static_cast<Edit&>(c).SetText(value); }); return;
        case ControlKind::TrackBar: {
            int position = number();
            w.dispatch([&] { static_cast<TrackBar&>(c).SetPosition(position); });
            return;
        }
        default: throw ScenarioError(a.line, "'" + c.name() + "' takes no value");
    }
}

void ReplaySession::key(const Action& a, Control& c) {
    const std::string& k = a.args[1].text;
    TFqpane& w = *window_;
    if (c.OnKeyDown) {
        w.dispatch([&] { c.OnKeyDown(k); });
        return;
    }
    // A button takes Enter and Space as a click.
    if (c.kind() == ControlKind::Button && (k == "Enter" || k == "Space")) {
        if (window_->refuses(c)) {
            transcript_.event("refused " + c.name());
            return;
        }
        if (c.OnClick) w.dispatch(c.OnClick);
    }
}

void ReplaySession::dump(const Action& a) {
    const std::string& what = a.args[0].text;
    if (what == "ini") {
        std::ifstream in(iniPath(), std::ios::binary);
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        transcript_.event("ini");
        for (const std::string& l : lines)
            transcript_.detail(quoteBytes(l));
        return;
    }
    const std::string& name = a.args[1].text;
    if (what == "sql") return runSql(name, true);
    if (!window_) throw ScenarioError(a.line, "dump " + what + " needs a started window");
    if (what == "memo") {
        const Memo* memo = window_->controls.findAs<Memo>(name);
        if (!memo) throw ScenarioError(a.line, "no memo '" + name + "'");
        transcript_.event("memo " + name + " " + std::to_string(memo->count()));
        for (size_t i = 0; i < memo->count(); ++i)
            transcript_.detail(quoteBytes(memo->line(i)));
        return;
    }
    if (what == "field") {
        auto fields = describeField(*window_, name);
        if (!fields) throw ScenarioError(a.line, "no run-state field '" + name + "'");
        for (const FieldText& f : *fields)
            transcript_.event("field " + f.name + " " + quoteBytes(f.value));
        return;
    }
    dumpControl(a, name);
}

void ReplaySession::dumpControl(const Action& a, const std::string& name) {
    Control& c = control(a, name);
    std::string line = "control " + name;
    auto add = [&](const std::string& key, const std::string& value) {
        line += " " + key + "=" + value;
    };
    auto common = [&] {
        add("visible", flagText(c.visible()));
        add("enabled", flagText(c.enabled()));
    };
    switch (c.kind()) {
        case ControlKind::Window: add("caption", quoteBytes(c.caption())); break;
        case ControlKind::RadioGroup:
            add("caption", quoteBytes(c.caption()));
            add("item", std::to_string(static_cast<RadioGroup&>(c).ItemIndex()));
            common();
            break;
        case ControlKind::CheckBox:
            add("caption", quoteBytes(c.caption()));
            add("checked", flagText(static_cast<CheckBox&>(c).Checked()));
            common();
            break;
        case ControlKind::Edit:
        case ControlKind::MaskEdit:
            add("text", quoteBytes(static_cast<Edit&>(c).Text()));
            common();
            break;
        case ControlKind::SpinEdit:
            add("value", std::to_string(static_cast<SpinEdit&>(c).Value()));
            common();
            break;
        case ControlKind::TrackBar:
            add("position", std::to_string(static_cast<TrackBar&>(c).Position()));
            common();
            break;
        case ControlKind::Timer:
            add("enabled", flagText(static_cast<TimerControl&>(c).Enabled()));
            add("interval", std::to_string(static_cast<TimerControl&>(c).Interval()));
            break;
        case ControlKind::Grid: common(); break;
        default:
            add("caption", quoteBytes(c.caption()));
            add("color", colorText(c.color()));
            common();
    }
    transcript_.event(line);
}

void ReplaySession::runSql(const std::string& statement, bool printRows) {
    try {
        std::unique_ptr<Database> own;
        Database* db = nullptr;
        if (window_) {
            db = &window_->Db1;
        } else {
            own = std::make_unique<Database>(paths_.dataFolder());
            db = own.get();
        }
        std::vector<std::string> columns;
        std::vector<Database::Row> rows;
        db->run(statement, &columns, &rows);
        if (!printRows) return;
        transcript_.event("sql " + std::to_string(rows.size()));
        for (const Database::Row& row : rows) {
            std::string line;
            for (const auto& cell : row) {
                if (!line.empty()) line += ' ';
                line += quoteBytes(cell.value_or(""));
            }
            transcript_.detail(line);
        }
    } catch (const std::exception& e) {
        transcript_.event("error " + quoteBytes(e.what()));
    }
}

void ReplaySession::writeIni(const std::string& key, const std::string& value) {
    std::filesystem::create_directories(paths_.settingsFolder());
    SettingsFile ini(iniPath());
    ini.writeString("Boad", key, value);
}

void ReplaySession::writeIniRaw(const std::string& text) {
    std::filesystem::create_directories(paths_.settingsFolder());
    std::ofstream(iniPath(), std::ios::binary | std::ios::trunc) << text;
}

bool ReplaySession::askYesNo(const std::string& title, const std::string& text) {
    bool yes = false;
    if (!answers_.empty()) {
        yes = answers_.front();
        answers_.pop_front();
    }
    transcript_.event("ask " + quoteBytes(title) + " " + quoteBytes(text) + " -> " +
                      (yes ? "yes" : "no"));
    return yes;
}

void ReplaySession::message(const std::string& text) {
    transcript_.event("message " + quoteBytes(text));
}

void ReplaySession::error(const std::string& text) {
    transcript_.event("error " + quoteBytes(text));
}

std::string ReplaySession::portLine(const char* kind, const TCustomCommX& port) const {
    return std::string(kind) + " COM" + std::to_string(port.PortNo()) + " " +
           std::to_string(port.BitRate()) + " " + std::to_string(port.CharSize()) + " " +
           parityLetter(port.ParityBit()) + " " + stopBitsText(port.StopBit()) + " " +
           flowText(port.FlowCtrl());
}

void ReplaySession::opened(const TCustomCommX& port) {
    transcript_.event(portLine("open", port));
}

void ReplaySession::openFailed(const TCustomCommX& port) {
    transcript_.event("openfail COM" + std::to_string(port.PortNo()));
}

void ReplaySession::configChanged(const TCustomCommX& port) {
    transcript_.event(portLine("config", port));
}

void ReplaySession::closed(const TCustomCommX& port) {
    transcript_.event("close COM" + std::to_string(port.PortNo()));
}

void ReplaySession::transmitted(const TCustomCommX& port, std::string_view bytes) {
    transcript_.event("tx COM" + std::to_string(port.PortNo()) + " " + quoteBytes(bytes));
}

}  // namespace qpane::replay
