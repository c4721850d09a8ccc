#include "app/web_feed.h"

#include "app/fqpane.h"
#include "platform/settings_file.h"
#include "results/result_list.h"

namespace qpane {

namespace {
std::filesystem::path settingsFileOf(const TFqpane& w) {
    return w.paths().settingsFolder() / "Qcontrol.ini";
}
}  // namespace

WebFeed::WebFeed(web::WebLimits limits) : server_(box_, limits) {}

WebFeed::~WebFeed() {
    detach();
    server_.stop();
}

void WebFeed::attach(TFqpane& window) {
    detach();
    window_ = &window;
    window.boardOutput.onSent = [this](std::string_view line) { boardSent(line); };
    window.afterEntry = [this] { refresh(); };
    const SettingsFile ini(settingsFileOf(window));
    builder_.setTitle(ini.readString("Results", "Title", ""));
    refresh();
}

void WebFeed::detach() {
    if (!window_) return;
    window_->boardOutput.onSent = nullptr;
    window_->afterEntry = nullptr;
    window_ = nullptr;
}

std::string WebFeed::listenSetting(const TFqpane& window) {
    return SettingsFile(settingsFileOf(window)).readString("Web", "Listen", "");
}

std::string WebFeed::serve(const std::string& listen) {
    try {
        const web::ListenAddress address = web::parseListen(listen);
        server_.stop();
        server_.start(address);
        refresh();
        return {};
    } catch (const std::exception& e) {
        return std::string("速報ページを開始できません: ") + e.what();
    }
}

void WebFeed::stopServing() {
    server_.stop();
}

bool WebFeed::readStore() {
    try {
        return builder_.readStore(window_->Db1.handle(),
                                  results::disciplineOfPattern(window_->patternNo));
    } catch (const std::exception&) {
        // A store that cannot be read now keeps the rankings of the last read; the window
        // reports its own store's troubles.
        return false;
    }
}

bool WebFeed::watched() const {
    return server_.running() || onPublished != nullptr;
}

void WebFeed::boardSent(std::string_view line) {
    const bool row = builder_.boardSent(line, web::wallClockMs());
    // Reading the rankings costs milliseconds on the road of a timing line: it waits until
    // somebody follows the page or the mirror. The row itself is kept, so that the mirror
    // opened later shows the board as it stands.
    if (!watched()) {
        unpublished_ = unpublished_ || row;
        return;
    }
    const bool stored = readStore();
    if (row || stored) publish();
}

void WebFeed::refresh() {
    if (!window_ || !watched()) return;
    bool changed = readStore() || unpublished_;
    const std::string& caption = window_->Label5.caption();
    if (caption != pattern_) {
        pattern_ = caption;
        builder_.setPattern(caption);
        changed = true;
    }
    if (changed) publish();
}

void WebFeed::publish() {
    unpublished_ = false;
    web::SnapshotPtr s = builder_.build();
    box_.publish(s);
    if (onPublished) onPublished(s);
}

}  // namespace qpane
