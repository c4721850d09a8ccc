#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/settings_file.h"
#include "settings_file_fixture.h"

namespace qpane {
namespace {

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

TEST_F(SettingsFileTest, MissingFolderRaisesErrorNamingFile) {
    SettingsFile ini(dir_ / "missing" / "Qcontrol.ini");
    try {
        ini.writeString("Boad", "Gmode", "D");
        FAIL() << "no error";
    } catch (const SettingsError& e) {
        EXPECT_NE(std::string(e.what()).find((fs::path("missing") / "Qcontrol.ini").string()),
                  std::string::npos);
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
}

}  // namespace
}  // namespace qpane
