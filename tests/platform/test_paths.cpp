#include <gtest/gtest.h>

#include "platform/paths.h"

namespace qpane {
namespace {

namespace fs = std::filesystem;

TEST(Paths, MapsDriveFoldersBelowRoot) {
    Paths p("/r");
    EXPECT_EQ(p.mapDrivePath("C:\\Program Files\\PORLEX\\Alpine"),
              fs::path("/r/Program Files/PORLEX/Alpine"));
    EXPECT_EQ(p.dataFolder(), fs::path("/r/Program Files/PORLEX/QPANEData"));
    EXPECT_EQ(p.settingsFolder(), fs::path("/r/Program Files/PORLEX/Alpine"));
}

}  // namespace
}  // namespace qpane
