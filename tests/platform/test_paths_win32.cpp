#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/paths.h"

namespace qpane {
namespace {

namespace fs = std::filesystem;

// Every port opens in the device namespace: COM10 and above open only so.
TEST(Paths, PortDeviceIsTheComNameInTheDeviceNamespace) {
    Paths p("C:\\");
    EXPECT_EQ(p.portDevice(3), "\\\\.\\COM3");
    EXPECT_EQ(p.portDevice(12), "\\\\.\\COM12");
}

TEST(Paths, RootFromEnvironmentElseDriveC) {
    ::_putenv_s("QPANE_ROOT", "D:\\some-root");
    EXPECT_EQ(Paths::fromEnvironment().root(), fs::path("D:\\some-root"));
    ::_putenv_s("QPANE_ROOT", "");
    EXPECT_EQ(Paths::fromEnvironment().root(), fs::path("C:\\"));
    EXPECT_EQ(Paths::fromEnvironment().settingsFolder(),
              fs::path("C:\\Program Files\\PORLEX\\Alpine"));
}

}  // namespace
}  // namespace qpane
