#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

}  // namespace
}  // namespace qpane
