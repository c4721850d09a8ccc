// Ports opened by number through the operator's map onto a pseudo-terminal of another name.
#include <gtest/gtest.h>

#include "port_fixture.h"
#include "serial/port_map.h"

namespace qpane {
namespace {

namespace fs = std::filesystem;

// The far end of a line that the map names: the link stands for a /dev/serial/by-id name.
class MappedPort : public ::testing::Test {
  protected:
    TempRoot root;
    TempRoot adapters;
    PseudoTerminal peer{adapters.path(), 1};
    std::unique_ptr<CommDeviceProvider> devices = makeSystemCommDevices(Paths(root.path()));
    LoopScheduler ui;
    std::unique_ptr<TCommX> port = std::make_unique<TCommX>(ui, *devices);

    std::string adapter() const { return (adapters.path() / "dev" / "COM1").string(); }
    void TearDown() override {
        ui.run([&] { port.reset(); });
        EXPECT_EQ(ui.escapedExceptions(), 0);
    }
};

TEST_F(MappedPort, NumberOpensTheMappedDeviceWithSevenAndEightDataBits) {
    PortMap map;
    map.setEntry(7, adapter());
    devices->usePortMap(map);
    std::string got;
    port->OnReceive = [&](TCustomCommX& p, int n) {
        for (int i = 0; i < n; ++i)
            got += static_cast<char>(p.ReadByte());
    };
    for (const int bits : {7, 8}) {
        SCOPED_TRACE(bits);
        got.clear();
        ui.run([&] {
            port->SetPortNo(7);
            port->SetCharSize(bits);
            port->SetParityBit(bits == 7 ? cpbEven : cpbNone);
            port->Open();
            EXPECT_TRUE(port->IsOpen());
            EXPECT_EQ(port->CharSize(), bits);
            EXPECT_TRUE(
                port->SendString("\xC1"
                                 "A012\r"));
        });
        EXPECT_EQ(peer.receive(6),
                  "\xC1"
                  "A012\r");
        peer.send(
            "\x02"
            "C1101200:01:23.45\r");
        EXPECT_TRUE(waitUntil([&] {
            ui.run([] {});
            return got.size() >= 19;
        }));
        EXPECT_EQ(got,
                  "\x02"
                  "C1101200:01:23.45\r");
        ui.run([&] { port->Close(); });
    }
}

TEST_F(MappedPort, EntryForAMissingDeviceFailsTheOpenAndUnmappedNumbersKeepTheirLinks) {
    PseudoTerminal ownLink{root.path(), 3};
    PortMap map;
    map.setEntry(7, adapter() + "-gone");
    devices->usePortMap(map);
    ui.run([&] {
        port->SetPortNo(7);
        EXPECT_NE(errorText([&] { port->Open(); }), "(no error)");
        EXPECT_FALSE(port->IsOpen());
        port->SetPortNo(3);
        port->Open();
        EXPECT_TRUE(port->IsOpen());
        EXPECT_TRUE(port->SendString("own"));
    });
    EXPECT_EQ(ownLink.receive(3), "own");
}

// An adapter pulled out and plugged in again: its by-id link goes and comes back, leading to
// a new terminal; the port sees the loss, the provider the return, and a reopening works.
TEST(MappedAdapter, LossAndReturnUnderTheSameNameAreSeenAndTheReopenedLinkCarriesBytes) {
    TempRoot root;
    TempRoot adapters;
    auto line = std::make_unique<PseudoTerminal>(adapters.path(), 1);
    const fs::path link = adapters.path() / "dev" / "COM1";
    std::unique_ptr<CommDeviceProvider> devices = makeSystemCommDevices(Paths(root.path()));
    PortMap map;
    map.setEntry(4, link.string());
    devices->usePortMap(map);
    LoopScheduler ui;
    auto port = std::make_unique<TCommX>(ui, *devices);
    std::atomic<int> ioErrors{0};
    port->OnError = [&](TCustomCommX&, uint32_t e) {
        if (e & kCommErrIo) ++ioErrors;
    };
    ui.run([&] {
        port->SetPortNo(4);
        port->Open();
        EXPECT_TRUE(port->SendString("abc"));
    });
    EXPECT_EQ(line->receive(3), "abc");
    EXPECT_EQ(port->Counters().sent, 3u);
    EXPECT_TRUE(devices->present(4));

    line->hangUp();
    line.reset();
    fs::remove(link);
    EXPECT_TRUE(waitUntil([&] {
        ui.run([] {});
        return port->Counters().lost;
    }));
    EXPECT_TRUE(port->Counters().open);
    EXPECT_FALSE(devices->present(4));

    line = std::make_unique<PseudoTerminal>(adapters.path(), 1);
    EXPECT_TRUE(devices->present(4));
    EXPECT_TRUE(port->Counters().lost);  // still the old line until the operator reopens
    ui.run([&] {
        port->Close();
        port->Open();
    });
    const CommCounters reopened = port->Counters();
    EXPECT_TRUE(reopened.open);
    EXPECT_FALSE(reopened.lost);
    line->send("xyz");
    std::string got;
    port->OnReceive = [&](TCustomCommX& p, int n) {
        for (int i = 0; i < n; ++i)
            got += static_cast<char>(p.ReadByte());
    };
    EXPECT_TRUE(waitUntil([&] {
        ui.run([] {});
        return got.size() >= 3;
    }));
    EXPECT_EQ(got, "xyz");
    EXPECT_EQ(port->Counters().received, 3u);
    EXPECT_GE(ioErrors.load(), 1);
    ui.run([&] { port.reset(); });
}

}  // namespace
}  // namespace qpane
