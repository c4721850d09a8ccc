#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/settings_file.h"
#include "settings_file_fixture.h"

// The settings file against what POSIX systems add: permission bits, links, FIFOs.
namespace qpane {
namespace {

TEST_F(SettingsFileTest, UnwritableFolderRaisesErrorNamingFileAndKeepsOldContent) {
    if (::geteuid() == 0) {
        // root writes anywhere: make the folder vanish instead
        SettingsFile ini(dir_ / "missing" / "Qcontrol.ini");
        try {
            ini.writeInteger("Boad", "Portno", 1);
            FAIL() << "no error";
        } catch (const SettingsError& e) {
            EXPECT_NE(std::string(e.what()).find("Qcontrol.ini"), std::string::npos);
        }
        return;
    }
    write("[Boad]\r\nPortno=1\r\n");
    SettingsFile ini(file_);
    ::chmod(dir_.c_str(), 0555);
    EXPECT_THROW(ini.writeInteger("Boad", "Portno", 2), SettingsError);
    ::chmod(dir_.c_str(), 0755);
    EXPECT_EQ(read(), "[Boad]\r\nPortno=1\r\n");
}

mode_t modeOf(const fs::path& file) {
    struct stat st {};
    EXPECT_EQ(::lstat(file.c_str(), &st), 0) << file;
    return st.st_mode & 07777;
}

TEST_F(SettingsFileTest, SavedFileKeepsTheModeOfTheFileItReplaces) {
    for (mode_t mode : {0600, 0640, 0604, 0666}) {
        write("[Boad]\r\nPortno=1\r\n");
        ::chmod(file_.c_str(), mode);
        SettingsFile ini(file_);
        ini.writeInteger("Boad", "Portno", 2);
        EXPECT_EQ(modeOf(file_), mode) << std::oct << mode;
        EXPECT_EQ(read(), "[Boad]\r\nPortno=2\r\n");
    }
    fs::remove(file_);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    SettingsFile created(file_);
    created.writeInteger("Boad", "Portno", 3);
    EXPECT_EQ(modeOf(file_), 0644 & ~mask);  // a new file, as the folder's users expect
}

TEST_F(SettingsFileTest, SaveNeverFollowsALinkNorReusesAFileBesideIt) {
    const fs::path victim = dir_ / "victim.txt";
    std::ofstream(victim, std::ios::binary) << "someone else's";
    fs::create_symlink(victim, dir_ / "Qcontrol.ini.tmp");
    SettingsFile ini(file_);
    ini.writeInteger("Boad", "Portno", 1);
    EXPECT_EQ(read(), "[Boad]\r\nPortno=1\r\n");
    EXPECT_TRUE(fs::is_symlink(dir_ / "Qcontrol.ini.tmp"));
    std::ifstream in(victim, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    EXPECT_EQ(s.str(), "someone else's");

    // A file of that name, left by someone else, is neither truncated nor moved.
    fs::remove(dir_ / "Qcontrol.ini.tmp");
    std::ofstream(dir_ / "Qcontrol.ini.tmp", std::ios::binary) << "left here";
    ini.writeInteger("Boad", "Portno", 2);
    EXPECT_EQ(read(), "[Boad]\r\nPortno=2\r\n");
    std::ifstream left(dir_ / "Qcontrol.ini.tmp", std::ios::binary);
    std::stringstream l;
    l << left.rdbuf();
    EXPECT_EQ(l.str(), "left here");
}

TEST_F(SettingsFileTest, SaveIntoAFolderWithoutWritePermissionLeavesTheOldFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into a folder of mode 0555";
    write("[Boad]\r\nPortno=1\r\n");
    SettingsFile ini(file_);
    ini.setInteger("Boad", "Portno", 2);
    ini.setInteger("Boad", "Pinout", 1);
    ::chmod(dir_.c_str(), 0555);
    EXPECT_THROW(ini.save(), SettingsError);
    ::chmod(dir_.c_str(), 0755);
    EXPECT_EQ(read(), "[Boad]\r\nPortno=1\r\n");
}

TEST_F(SettingsFileTest, FileWithoutReadPermissionGivesItsReasonAndIsNeverSavedOver) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads a file of mode 000";
    write("[Boad]\r\nPortno=1\r\n");
    ::chmod(file_.c_str(), 0);
    SettingsFile denied(file_);
    EXPECT_EQ(denied.readError(), std::strerror(EACCES));
    EXPECT_THROW(denied.writeInteger("Boad", "Portno", 2), SettingsError);
    EXPECT_EQ(modeOf(file_), 0u);
    ::chmod(file_.c_str(), 0600);
    EXPECT_EQ(read(), "[Boad]\r\nPortno=1\r\n");
}

TEST_F(SettingsFileTest, FifoInTheFilesPlaceGivesAReasonAndIsNeverSavedOver) {
    ::mkfifo(file_.c_str(), 0644);  // no writer: a read would wait for ever
    SettingsFile fifo(file_);
    EXPECT_NE(fifo.readError(), "");
    EXPECT_THROW(fifo.save(), SettingsError);
    EXPECT_TRUE(fs::is_fifo(file_));
}

}  // namespace
}  // namespace qpane
