// The links that make the simulator's pseudo-terminals the console's ports.
#include <gtest/gtest.h>

#include <fstream>

#include "console_end.h"
#include "pty_link.h"
#include "temp_folder.h"

namespace qpane::sim {
namespace {

namespace fs = std::filesystem;
using e2e::ConsoleEnd;

TEST(PtyLink, ConsoleOpensTheLinkAndTheFarEndSeesItComeAndGo) {
    e2e::TempFolder root;
    PtyLink link(root.path(), 3);
    EXPECT_EQ(link.linkPath(), root.path() / "dev" / "COM3");
    EXPECT_EQ(fs::read_symlink(link.linkPath()), link.portPath());
    EXPECT_FALSE(link.portOpen());

    ConsoleEnd console(link.linkPath(), B4800, true);
    ASSERT_TRUE(console.isOpen());
    EXPECT_TRUE(link.portOpen());
    EXPECT_EQ(link.portSettings(), (PtyLink::PortSettings{4800, true}));

    console.send(
        "\xC1"
        "A012\r");
    std::string got;
    for (int i = 0; i < 100 && got.size() < 6; ++i) {
        got += link.read();
        ::usleep(10000);
    }
    EXPECT_EQ(got,
              "\xC1"
              "A012\r");
    ASSERT_TRUE(
        link.write("\x02"
                   "C1\x03"));
    EXPECT_EQ(console.receive(4),
              "\x02"
              "C1\x03");

    console.close();
    EXPECT_FALSE(link.portOpen());
    EXPECT_EQ(link.read(), "");
}

TEST(PtyLink, LinkIsRemovedAtTheEndUnlessSomeoneElseTookItsPlace) {
    e2e::TempFolder root;
    fs::path path;
    {
        PtyLink link(root.path(), 1);
        path = link.linkPath();
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(path)));
    {
        PtyLink link(root.path(), 1);
        fs::remove(path);
        fs::create_symlink("/dev/null", path);
    }
    EXPECT_EQ(fs::read_symlink(path), "/dev/null");
}

TEST(PtyLink, DanglingLinkIsReplacedButALiveOneOrAFileStays) {
    e2e::TempFolder root;
    fs::create_directories(root.path() / "dev");
    fs::create_symlink("/dev/pts/no-such-terminal", root.path() / "dev" / "COM1");
    {
        PtyLink link(root.path(), 1);
        EXPECT_EQ(fs::read_symlink(root.path() / "dev" / "COM1"), link.portPath());
    }
    fs::create_symlink("/dev/null", root.path() / "dev" / "COM2");
    EXPECT_THROW(PtyLink(root.path(), 2), LinkError);
    EXPECT_EQ(fs::read_symlink(root.path() / "dev" / "COM2"), "/dev/null");
    std::ofstream(root.path() / "dev" / "COM4") << "not a port";
    EXPECT_THROW(PtyLink(root.path(), 4), LinkError);
    EXPECT_THROW(PtyLink(root.path(), 10), LinkError);
}

}  // namespace
}  // namespace qpane::sim
