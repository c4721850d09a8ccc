#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/settings_file.h"

namespace qpane {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("qpane-settings-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        file_ = dir_ / "Qcontrol.ini";
    }
    void TearDown() override {
        ::chmod(dir_.c_str(), 0755);
        fs::remove_all(dir_);
    }
    void write(const std::string& text) { std::ofstream(file_, std::ios::binary) << text; }
    std::string read() {
        std::ifstream in(file_, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path dir_, file_;
};

TEST_F(SettingsFileTest, MissingFileGivesDefaults) {
    SettingsFile ini(file_);
    EXPECT_EQ(ini.readInteger("Boad", "Disppt", 1), 1);
    EXPECT_EQ(ini.readString("Boad", "Gmode", "D"), "D");
    EXPECT_FALSE(fs::exists(file_));
}

TEST_F(SettingsFileTest, ReadsWithoutRegardToCaseAndTrimsValues) {
    write("[boad]\r\n  PORTNO = 3 \r\nGmode=\tB\t\r\n[Other]\r\nPortno=7\r\n");
    SettingsFile ini(file_);
    EXPECT_EQ(ini.readInteger("Boad", "Portno", 0), 3);
    EXPECT_EQ(ini.readString("Boad", "Gmode", "D"), "B");
    EXPECT_EQ(ini.readInteger("Other", "portno", 0), 7);
}

TEST_F(SettingsFileTest, NonNumericAndOutOfRangeValuesReadAsDefault) {
    write("[Boad]\nA=12abc\nB=\nC=2147483648\nD=-2147483648\nE=+5\nF=0x10\nG= - 1\n");
    SettingsFile ini(file_);
    EXPECT_EQ(ini.readInteger("Boad", "A", 9), 9);
    EXPECT_EQ(ini.readInteger("Boad", "B", 9), 9);
    EXPECT_EQ(ini.readInteger("Boad", "C", 9), 9);
    EXPECT_EQ(ini.readInteger("Boad", "D", 9), -2147483647 - 1);
    EXPECT_EQ(ini.readInteger("Boad", "E", 9), 5);
    EXPECT_EQ(ini.readInteger("Boad", "F", 9), 9);
    EXPECT_EQ(ini.readInteger("Boad", "G", 9), 9);
}

TEST_F(SettingsFileTest, BrokenLinesAreSkippedAndKept) {
    write("garbage without equals\n[Boad\n[Boad]\n=nokey\n\x01\x02\n;Portno=5\nPortno=4\n");
    SettingsFile ini(file_);
    EXPECT_EQ(ini.readInteger("Boad", "Portno", 0), 4);
    ini.writeInteger("Boad", "Portno", 6);
    EXPECT_EQ(read(),
              "garbage without equals\r\n[Boad\r\n[Boad]\r\n=nokey\r\n\x01\x02\r\n;Portno=5\r\n"
              "Portno=6\r\n");
}

TEST_F(SettingsFileTest, WritesInPlaceAfterLastKeyOrInNewSection) {
    write("; comment\n[Boad]\nportno=1\nUnknown=x\n\n[Other]\nk=v\n");
    SettingsFile ini(file_);
    ini.writeInteger("Boad", "Portno", 2);  // replaced in place, console's spelling
    ini.writeString("Boad", "Gmode", "B");  // after the last key of the section
    ini.writeInteger("New", "Key", -3);     // a new section at the end
    EXPECT_EQ(read(),
              "; comment\r\n[Boad]\r\nPortno=2\r\nUnknown=x\r\nGmode=B\r\n\r\n[Other]\r\nk=v\r\n"
              "[New]\r\nKey=-3\r\n");
    SettingsFile again(file_);
    EXPECT_EQ(again.readInteger("Boad", "Portno", 0), 2);
    EXPECT_EQ(again.readString("Boad", "Gmode", "D"), "B");
    EXPECT_EQ(again.readInteger("New", "Key", 0), -3);
}

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

TEST_F(SettingsFileTest, MissingFolderRaisesErrorNamingFile) {
    SettingsFile ini(dir_ / "missing" / "Qcontrol.ini");
    try {
        ini.writeString("Boad", "Gmode", "D");
        FAIL() << "no error";
    } catch (const SettingsError& e) {
        EXPECT_NE(std::string(e.what()).find("missing/Qcontrol.ini"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

TEST_F(SettingsFileTest, NoTemporaryFileIsLeftBehind) {
    SettingsFile ini(file_);
    ini.writeInteger("Boad", "Portno", 1);
    int files = 0;
    for (auto& e : fs::directory_iterator(dir_)) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 1);
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

TEST_F(SettingsFileTest, SeveralKeysAreSetThenSavedAtOnce) {
    write("; comment\n[Boad]\nportno=1\nUnknown=x\n\n[Other]\nk=v\n");
    SettingsFile ini(file_);
    ini.setInteger("Boad", "Portno", 2);  // replaced in place, console's spelling
    ini.setString("Boad", "Gmode", "B");  // after the last key of the section
    ini.setInteger("Boad", "Dpnin", 7);   // after the key set just before
    ini.setInteger("New", "Key", -3);     // a new section at the end
    ini.setString("New", "Other", "t");
    EXPECT_EQ(read(), "; comment\n[Boad]\nportno=1\nUnknown=x\n\n[Other]\nk=v\n");
    EXPECT_EQ(ini.readInteger("Boad", "Portno", 0), 2);
    ini.save();
    EXPECT_EQ(read(),
              "; comment\r\n[Boad]\r\nPortno=2\r\nUnknown=x\r\nGmode=B\r\nDpnin=7\r\n\r\n"
              "[Other]\r\nk=v\r\n[New]\r\nKey=-3\r\nOther=t\r\n");
}

TEST_F(SettingsFileTest, FailedSaveLeavesTheOldFileAndNoTemporaryFile) {
    SettingsFile ini(file_);
    ini.setInteger("Boad", "Portno", 2);
    fs::create_directories(file_ / "inside");  // made after the read: the rename fails
    EXPECT_THROW(ini.save(), SettingsError);
    EXPECT_TRUE(fs::is_directory(file_ / "inside"));
    int files = 0;
    for (const auto& e : fs::directory_iterator(dir_)) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 1);
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

// A folder in the file's place fails to read for root as well.
TEST_F(SettingsFileTest, UnreadableFileGivesItsReasonAndIsNeverSavedOver) {
    SettingsFile missing(file_);
    EXPECT_EQ(missing.readError(), "");  // a first start is no error

    fs::create_directories(file_);
    std::ofstream(file_ / "inside", std::ios::binary) << "x";
    SettingsFile folder(file_);
    EXPECT_EQ(folder.readError(), std::strerror(EISDIR));
    EXPECT_EQ(folder.readInteger("Boad", "Portno", 5), 5);
    try {
        folder.writeInteger("Boad", "Portno", 1);
        FAIL() << "no error";
    } catch (const SettingsError& e) {
        EXPECT_NE(std::string(e.what()).find(file_.string()), std::string::npos) << e.what();
    }
    EXPECT_TRUE(fs::is_regular_file(file_ / "inside"));
    fs::remove_all(file_);

    ::mkfifo(file_.c_str(), 0644);  // no writer: a read would wait for ever
    SettingsFile fifo(file_);
    EXPECT_NE(fifo.readError(), "");
    EXPECT_THROW(fifo.save(), SettingsError);
    EXPECT_TRUE(fs::is_fifo(file_));
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

}  // namespace
}  // namespace qpane
