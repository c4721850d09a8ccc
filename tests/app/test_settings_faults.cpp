// The settings file at start-up and shut-down when it is missing, unreadable, or surrounded by
// files that must not be touched.
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "window_harness.h"

namespace qpane::testing {
namespace {

namespace fs = std::filesystem;

// What shut-down writes when start-up read no file: every key with its default, in order.
constexpr const char* kDefaults =
    "[Boad]\r\nPortno=0\r\nPortno2=0\r\nPinout=0\r\nBitRateIn=0\r\nBitRateOut=0\r\n"
    "Chars1=0\r\nChars2=0\r\nParity1=0\r\nParity2=0\r\nDisppt=1\r\nGmode=D\r\nWTime=1\r\n"
    "Scrolrow=3\r\nDpnin=5\r\n";

fs::path settingsFile(WindowHarness& h) {
    return h.w().paths().settingsFolder() / "Qcontrol.ini";
}

std::string readAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

mode_t modeOf(const fs::path& file) {
    struct stat st {};
    EXPECT_EQ(::lstat(file.c_str(), &st), 0) << file;
    return st.st_mode & 07777;
}

mode_t currentUmask() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

void close(WindowHarness& h) {
    h.act([&] { h.w().FormClose(); });
}

// Counts the files moved into place under one name in a folder: each atomic save of the
// settings file is one such move.
class MovesInto {
  public:
    MovesInto(const fs::path& folder, std::string name) : name_(std::move(name)) {
        fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        EXPECT_GE(fd_, 0) << std::strerror(errno);
        // Watching the moves out as well keeps two moves in a row from merging into one event.
        EXPECT_GE(::inotify_add_watch(fd_, folder.c_str(), IN_MOVED_FROM | IN_MOVED_TO), 0)
            << std::strerror(errno);
    }
    ~MovesInto() { ::close(fd_); }
    MovesInto(const MovesInto&) = delete;
    MovesInto& operator=(const MovesInto&) = delete;

    // The moves so far; the kernel queues each event before the rename returns.
    int count() {
        alignas(inotify_event) char buffer[8192];
        for (;;) {
            ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n <= 0) break;
            for (char* p = buffer; p < buffer + n;) {
                auto* e = reinterpret_cast<inotify_event*>(p);
                if ((e->mask & IN_MOVED_TO) && e->len > 0 && name_ == e->name) ++count_;
                p += sizeof(inotify_event) + e->len;
            }
        }
        return count_;
    }

  private:
    std::string name_;
    int fd_ = -1;
    int count_ = 0;
};

TEST(SettingsAtStartUp, MissingFileIsAFirstStartWithDefaultsAndNoMessage) {
    WindowHarness h;
    ASSERT_FALSE(fs::exists(settingsFile(h)));
    h.start();
    EXPECT_TRUE(h.boxes().messages.empty());
    EXPECT_TRUE(h.boxes().errors.empty());
    close(h);
    EXPECT_TRUE(h.boxes().errors.empty());
    EXPECT_EQ(readAll(settingsFile(h)), kDefaults);
    EXPECT_EQ(modeOf(settingsFile(h)), 0644 & ~currentUmask());
}

// Works as root too: reading a folder fails whoever reads it.
TEST(SettingsAtStartUp, FolderInPlaceOfTheFileIsReportedAndLeftAlone) {
    WindowHarness h;
    fs::create_directories(settingsFile(h));
    std::ofstream(settingsFile(h) / "keep.txt") << "kept";
    h.start();
    ASSERT_EQ(h.boxes().messages.size(), 1u);
    const std::string& box = h.boxes().messages[0];
    EXPECT_NE(box.find(settingsFile(h).string()), std::string::npos) << box;
    EXPECT_NE(box.find(std::strerror(EISDIR)), std::string::npos) << box;
    EXPECT_NE(box.find("設定ファイル"), std::string::npos) << box;
    EXPECT_TRUE(h.boxes().errors.empty());
    EXPECT_EQ(h.w().patternNo, 1);  // the console goes on with the defaults
    EXPECT_EQ(h.w().connMode, "D");

    close(h);
    EXPECT_TRUE(h.boxes().errors.empty());
    EXPECT_EQ(h.boxes().messages.size(), 1u);
    EXPECT_TRUE(fs::is_directory(settingsFile(h)));
    EXPECT_EQ(readAll(settingsFile(h) / "keep.txt"), "kept");
    EXPECT_EQ(h.w().iniFile, nullptr);
}

TEST(SettingsAtStartUp, FileWithoutReadPermissionIsReportedAndNotOverwritten) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads a file of mode 000";
    WindowHarness h({{"Portno", "1"}, {"Disppt", "12"}});
    ::chmod(settingsFile(h).c_str(), 0);
    h.start();
    ASSERT_EQ(h.boxes().messages.size(), 1u);
    const std::string& box = h.boxes().messages[0];
    EXPECT_NE(box.find(settingsFile(h).string()), std::string::npos) << box;
    EXPECT_NE(box.find(std::strerror(EACCES)), std::string::npos) << box;

    close(h);
    EXPECT_TRUE(h.boxes().errors.empty());
    EXPECT_EQ(modeOf(settingsFile(h)), 0u);
    ::chmod(settingsFile(h).c_str(), 0600);
    EXPECT_EQ(readAll(settingsFile(h)), "[Boad]\r\nPortno=1\r\nDisppt=12\r\n");
}

TEST(SettingsAtShutDown, SavedFileKeepsTheModeOfTheFileItReplaces) {
    for (mode_t mode : {0600, 0640, 0664}) {
        WindowHarness h({{"Portno", "1"}});
        ::chmod(settingsFile(h).c_str(), mode);
        h.start();
        h.w().portNo = 2;
        close(h);
        EXPECT_TRUE(h.boxes().errors.empty());
        EXPECT_EQ(modeOf(settingsFile(h)), mode) << std::oct << mode;
        EXPECT_NE(readAll(settingsFile(h)).find("Portno=2\r\n"), std::string::npos);
    }
}

TEST(SettingsAtShutDown, FileIsReplacedOnceWithEveryKeyKeepingOtherLines) {
    WindowHarness h({{"Portno", "1"}});
    {
        std::ofstream out(settingsFile(h), std::ios::app | std::ios::binary);
        out << "[Other]\r\nKey=kept\r\n";
    }
    h.start();
    MovesInto moves(h.w().paths().settingsFolder(), "Qcontrol.ini");
    close(h);
    EXPECT_TRUE(h.boxes().errors.empty());
    EXPECT_EQ(moves.count(), 1);
    EXPECT_EQ(readAll(settingsFile(h)),
              "[Boad]\r\nPortno=1\r\nPortno2=0\r\nPinout=0\r\nBitRateIn=0\r\nBitRateOut=0\r\n"
              "Chars1=0\r\nChars2=0\r\nParity1=0\r\nParity2=0\r\nDisppt=1\r\nGmode=D\r\n"
              "WTime=1\r\nScrolrow=3\r\nDpnin=5\r\n[Other]\r\nKey=kept\r\n");
}

TEST(SettingsAtShutDown, NoFileBesideTheSettingsIsFollowedOrReused) {
    WindowHarness h({{"Portno", "1"}});
    const fs::path folder = h.w().paths().settingsFolder();
    const fs::path victim = h.root() / "victim.txt";
    std::ofstream(victim, std::ios::binary) << "not the console's";
    fs::create_symlink(victim, folder / "Qcontrol.ini.tmp");
    h.start();
    close(h);
    EXPECT_TRUE(h.boxes().errors.empty());
    EXPECT_EQ(readAll(victim), "not the console's");
    EXPECT_TRUE(fs::is_symlink(folder / "Qcontrol.ini.tmp"));
    EXPECT_EQ(readAll(settingsFile(h)).rfind("[Boad]\r\nPortno=1\r\n", 0), 0u);
    int files = 0;  // the link, the settings file and nothing left behind
    for (const auto& e : fs::directory_iterator(folder)) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 2);
}

}  // namespace
}  // namespace qpane::testing
