#pragma once

#include <functional>
#include <memory>
#include <string>

#include "web/snapshot_box.h"
#include "web/snapshot_builder.h"
#include "web/web_server.h"

namespace qpane {

class TFqpane;

// The live results page of a window: on the window's thread it publishes a snapshot after
// each line that goes to the board and after each entry that stored something; the server's
// threads read only those snapshots. It outlives a window (replay closes and starts them
// again), serving the last snapshot meanwhile.
class WebFeed {
  public:
    explicit WebFeed(web::WebLimits limits = {});
    ~WebFeed();
    WebFeed(const WebFeed&) = delete;
    WebFeed& operator=(const WebFeed&) = delete;

    // Follows the window's board and store until detach (or the feed's end).
    void attach(TFqpane& window);
    void detach();

    // [Web] Listen of the window's settings file as start-up finds it: empty when absent.
    static std::string listenSetting(const TFqpane& window);
    // Starts the server on a Listen value: empty when it runs, else the message for the
    // operator (a value that is not an address, an address that cannot be bound). The
    // console works on without the page either way.
    std::string serve(const std::string& listen);
    void stopServing();

    web::WebServer& server() { return server_; }
    web::SnapshotBox& box() { return box_; }
    // Called on the window's thread after each publish (the console's board mirror view).
    std::function<void(const web::SnapshotPtr&)> onPublished;

    // Reads the store and publishes when something changed (also what afterEntry runs); only
    // while the page is served or onPublished is set, so call it after setting onPublished.
    void refresh();

  private:
    bool watched() const;
    void boardSent(std::string_view line);
    bool readStore();
    void publish();

    TFqpane* window_ = nullptr;
    web::SnapshotBuilder builder_;
    web::SnapshotBox box_;
    web::WebServer server_;
    std::string pattern_;
    bool unpublished_ = false;  // a board row kept while nobody followed
};

}  // namespace qpane
