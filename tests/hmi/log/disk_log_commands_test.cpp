// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/log/disk_log_commands.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include <filesystem>
#include <stdexcept>
#include <string>

#include "fakes/fake_platform.h"
#include "fakes/temp_folder.h"

namespace korvani::hmi::log {
namespace {

class DiskLogCommandsTest : public ::testing::Test {
 protected:
  DiskLogCommandsTest() { Table.SetLogFolder(Folder.Path.string()); }

  void Line(const std::string& text) {
    Commands.DoHMILog(text);
    Commands.doHMILogWrite();
  }

  fakes::TempFolder Folder;
  fakes::FakeDialogs Dialogs;
  fakes::FakeClock Clock;
  LogFileTable Table{Dialogs, Clock, {}};
  DiskLogCommands Commands{Table, Dialogs};
};

TEST_F(DiskLogCommandsTest, HugeModesKeepTheirLowestTwoBits) {
  Commands.doHMIFileOpen("big", "388888888888888888888");  // a multiple of 4: mode 0
  Line("x");
  EXPECT_EQ(Folder.Read("big.log"), "x\r\n");
  Commands.doHMIFileOpen("odd", "4294967297");  // 2^32 + 1: mode 1, dated
  EXPECT_EQ(Table.FCBTable[static_cast<std::size_t>(Table.CurrentFCB)].Mode, 1);
  EXPECT_TRUE(Dialogs.Boxes.empty());
}

TEST_F(DiskLogCommandsTest, NumberedLogWritesLinesAndStartsANewFileOnRequest) {
  Commands.doHMIFileOpen("data", "2");
  Line("x");
  Line("y");
  EXPECT_EQ(Folder.Read("data_-00000.log"), "x\r\ny\r\n");
  Commands.doHMINewFile("data");
  Line("z");
  EXPECT_EQ(Folder.Read("data_-00001.log"), "z\r\n");
  EXPECT_EQ(Folder.Read("data_-00000.log"), "x\r\ny\r\n");
}

TEST_F(DiskLogCommandsTest, NewFileForEveryModeFollowedByAWrite) {
  Folder.Write("plain.log", "old\r\n");
  Folder.Write("daily-_261207.log", "old\r\n");
  Commands.doHMIFileOpen("plain", "0");
  Commands.doHMINewFile("plain");
  Line("z");
  EXPECT_EQ(Folder.Read("plain.log"), "z\r\n");  // the same name, emptied

  Commands.doHMIFileOpen("daily", "1");
  Commands.doHMINewFile("daily");
  Line("z");
  EXPECT_EQ(Folder.Read("daily-_261207.log"), "z\r\n");

  Commands.doHMIFileOpen("both", "3");
  Line("a");
  Commands.doHMINewFile("both");
  Line("b");
  EXPECT_EQ(Folder.Read("both-_261207_-00000.log"), "a\r\n");
  EXPECT_EQ(Folder.Read("both-_261207_-00001.log"), "b\r\n");
}

TEST_F(DiskLogCommandsTest, TimeThenDateMakeTwelveDigits) {
  Commands.doHMIFileOpen("t.csv", "0");
  Commands.DoHMILog(Table.HHMMss());
  Commands.DoHMILog(Table.yyMMdd());
  Commands.doHMILogWrite();
  EXPECT_EQ(Folder.Read("t.csv"), "153045261207\r\n");
}

TEST_F(DiskLogCommandsTest, FirstOpeningWithoutAModeIsRefused) {
  Commands.doHMIFileOpen("data", "0");
  Commands.doHMIFileOpen("other", "");
  ASSERT_EQ(Dialogs.Boxes.size(), 1U);
  EXPECT_EQ(Dialogs.Boxes[0].Title, "Missing logging mode");
  EXPECT_EQ(
      Dialogs.Boxes[0].Text,
      "Attempt to open log file other for the first time without specifying the mode. That file cannot be "
      "logged to. Please report to your equipment supplier");
  EXPECT_FALSE(Table.LoggingActive);
  Commands.DoHMILog("ignored");
  Commands.doHMILogWrite();  // still writes an empty line to the last current log
  EXPECT_EQ(Folder.Read("data.log"), "\r\n");

  Commands.doHMIFileOpen("data", "x1");  // a mode that is not digits counts as missing: fine once open
  EXPECT_TRUE(Table.LoggingActive);
}

TEST_F(DiskLogCommandsTest, NewFileForANameNeverOpenedIsReported) {
  Commands.doHMINewFile("ghost");
  ASSERT_EQ(Dialogs.Boxes.size(), 1U);
  EXPECT_EQ(Dialogs.Boxes[0].Title, "Logging error.");
  EXPECT_EQ(
      Dialogs.Boxes[0].Text,
      "Attempt to create a new file forghost when it has not been opened. Please report to your equipment "
      "supplier.");
}

TEST_F(DiskLogCommandsTest, CancelledFolderPickerInhibitsLoggingForTheRun) {
  Table.SetLogFolder("");
  Commands.doHMIFileOpen("data", "0");
  ASSERT_EQ(Dialogs.Boxes.size(), 1U);
  EXPECT_EQ(
      Dialogs.Boxes[0].Text,
      "Unable to open file folder for logging. Logging will be inhibited. You can select a folder in the "
      "settings tab.");
  EXPECT_TRUE(Table.LoggingInhibited);
  Dialogs.FolderAnswer = Folder.Path.string();
  Commands.doHMIFileOpen("data", "0");
  Commands.doHMINewFile("data");
  EXPECT_EQ(Dialogs.Picks.size(), 1U);  // never asked again
  EXPECT_EQ(Dialogs.Boxes.size(), 1U);
}

TEST_F(DiskLogCommandsTest, NamesReachingOutsideTheFolderAreRefusedOncePerName) {
  for (const char* name : {"..\\..\\x", "../x", "/tmp/x", "C:x",
                           "a\x01"
                           "b"}) {
    EXPECT_THROW(Commands.doHMIFileOpen(name, "0"), std::invalid_argument) << name;
    EXPECT_THROW(Commands.doHMINewFile(name), std::invalid_argument) << name;
  }
  EXPECT_EQ(Dialogs.Boxes.size(), 5U);  // one box a name
  EXPECT_EQ(Dialogs.Boxes[1].Title, "Log file name refused");
  EXPECT_NE(Dialogs.Boxes[1].Text.find("\"../x\""), std::string::npos);
  EXPECT_FALSE(Table.LoggingActive);
  EXPECT_EQ(Table.NextVacantFCB(), 0);
  EXPECT_TRUE(std::filesystem::is_empty(Folder.Path));
}

TEST_F(DiskLogCommandsTest, ARefusedNameLeavesNoLogUntilTheNextAcceptedOpen) {
  Commands.doHMIFileOpen("kdata", "0");
  Line("before");
  EXPECT_THROW(Commands.doHMIFileOpen("../x", "0"), std::invalid_argument);
  Line("lost");
  Commands.DoHMILog("lost too");
  Commands.doHMILogWrite();
  EXPECT_EQ(Folder.Read("kdata.log"), "before\r\n");
  Commands.doHMIFileOpen("", "0");      // not an opening: still no log
  Commands.doHMIFileOpen("other", "");  // refused for its missing mode: still none
  Line("lost again");
  EXPECT_EQ(Folder.Read("kdata.log"), "before\r\n");
  Commands.doHMIFileOpen("kdata", "");
  Line("after");
  EXPECT_EQ(Folder.Read("kdata.log"), "before\r\nafter\r\n");
}

TEST_F(DiskLogCommandsTest, UnwritableFolderAbandonsTheWriteAndKeepsTheLine) {
  Table.SetLogFolder(Folder.File("missing"));
  Commands.doHMIFileOpen("data", "0");
  Commands.DoHMILog("kept");
  EXPECT_THROW(Commands.doHMILogWrite(), std::runtime_error);
  EXPECT_EQ(Table.FCBTable[0].PendingLine, "kept");
}

TEST_F(DiskLogCommandsTest, AtTheLastNumberNewFilesAppendInsteadOfOverwriting) {
  Commands.doHMIFileOpen("top", "2");
  Table.FCBTable[0].SequenceNumber = kLastSequenceNumber;
  Folder.Write("top_-32767.log", "kept\r\n");
  Commands.doHMINewFile("top");
  Line("more");
  EXPECT_EQ(Table.FCBTable[0].SequenceNumber, kLastSequenceNumber);
  EXPECT_EQ(Folder.Read("top_-32767.log"), "kept\r\nmore\r\n");
}

}  // namespace
}  // namespace korvani::hmi::log

namespace korvani::hmi::log {
namespace {

#ifndef _WIN32
// A log folder that is missing, cannot be written or sits on a full device: the line is
// not written, the message is abandoned, and the user is told once per file why.
TEST(DiskLogFailureTest, UnwritableFoldersAreReportedOncePerFile) {
  fakes::TempFolder scratch;
  std::filesystem::create_directories(scratch.Path / "read-only");
  std::filesystem::permissions(scratch.Path / "read-only",
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  // Permissions do not stop root; a folder of /sys does.
  const bool root = ::geteuid() == 0;
  // A log file that lies on a full device.
  std::filesystem::create_directories(scratch.Path / "full");
  std::filesystem::create_symlink("/dev/full", scratch.Path / "full" / "data.log");
  struct Case {
    const char* Name;
    std::string Folder;
    std::string Reason;
  };
  const Case cases[] = {
      {"missing", (scratch.Path / "no-such-folder").string(), "No such file or directory"},
      {"read-only", root ? std::string("/sys") : (scratch.Path / "read-only").string(), "Permission denied"},
      {"full device", (scratch.Path / "full").string(), "No space left on device"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    fakes::FakeDialogs dialogs;
    fakes::FakeClock clock;
    LogFileTable table(dialogs, clock, {});
    table.SetLogFolder(c.Folder);
    DiskLogCommands commands(table, dialogs);
    commands.doHMIFileOpen("data", "0");
    for (int line = 0; line < 3; ++line) {
      commands.DoHMILog("x");
      EXPECT_THROW(commands.doHMILogWrite(), std::runtime_error);
    }
    ASSERT_EQ(dialogs.Boxes.size(), 1U);
    EXPECT_EQ(dialogs.Boxes[0].Title, "Log file not written");
    EXPECT_NE(dialogs.Boxes[0].Text.find(c.Reason), std::string::npos) << dialogs.Boxes[0].Text;
  }
  std::filesystem::permissions(scratch.Path / "read-only", std::filesystem::perms::owner_all);
}
#endif

}  // namespace
}  // namespace korvani::hmi::log
