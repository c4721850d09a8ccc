// A server on a free loopback port over a box of its own, for the tests of what clients see.
#pragma once

#include <gtest/gtest.h>

#include "web/snapshot_box.h"
#include "web/snapshot_builder.h"
#include "web/web_server.h"

namespace qpane::web::testing {

class ServedSnapshots : public ::testing::Test {
  protected:
    void serve(WebLimits limits = {}) {
        server = std::make_unique<WebServer>(box, limits);
        server->start({"127.0.0.1", 0});
        port = server->port();
    }
    void SetUp() override { serve(); }
    void TearDown() override {
        if (server) server->stop();
    }
    void publishRow(const std::string& line) {
        builder.boardSent(line, wallClockMs());
        box.publish(builder.build());
    }

    SnapshotBox box;
    SnapshotBuilder builder;
    std::unique_ptr<WebServer> server;
    int port = 0;
};

}  // namespace qpane::web::testing
