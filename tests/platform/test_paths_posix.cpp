#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "platform/paths.h"

namespace qpane {
namespace {

namespace fs = std::filesystem;

TEST(Paths, PortDeviceIsLinkBelowRootElseTtyS) {
    fs::path root = fs::temp_directory_path() / ("qpane-paths-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "dev");
    std::ofstream(root / "dev" / "COM12") << "";
    Paths p(root);
    EXPECT_EQ(p.portDevice(12), (root / "dev" / "COM12").string());
    EXPECT_EQ(p.portDevice(3), "/dev/ttyS2");
    fs::remove_all(root);
}

TEST(Paths, RootFromEnvironment) {
    ::setenv("QPANE_ROOT", "/tmp/some-root", 1);
    EXPECT_EQ(Paths::fromEnvironment().root(), fs::path("/tmp/some-root"));
    ::unsetenv("QPANE_ROOT");
    EXPECT_NE(Paths::fromEnvironment().root().string().find("qpane-root"), std::string::npos);
}

}  // namespace
}  // namespace qpane
