// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/log/log_file_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "fakes/fake_platform.h"
#include "fakes/temp_folder.h"

namespace korvani::hmi::log {
namespace {

std::string Numbered(const std::string& prefix, int n, const std::string& extension) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%05d", n);
  return prefix + digits + extension;
}

class LogFileTableTest : public ::testing::Test {
 protected:
  LogFileTableTest() { Table.SetLogFolder(Folder.Path.string()); }

  fakes::TempFolder Folder;
  fakes::FakeDialogs Dialogs;
  fakes::FakeClock Clock;  // Monday 7 December 2026, 15:30:45
  std::string ShownFolder;
  LogFileTable Table{Dialogs, Clock, [this](const std::string& folder) { ShownFolder = folder; }};
};

struct SplitCase {
  const char* Name;
  const char* Root;
  const char* Extension;
};

class NameSplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(NameSplitTest, SplitsAtTheLastDot) {
  EXPECT_EQ(LogFileTable::GetRoot(GetParam().Name), GetParam().Root);
  EXPECT_EQ(LogFileTable::GetExtension(GetParam().Name), GetParam().Extension);
}

INSTANTIATE_TEST_SUITE_P(Names, NameSplitTest,
                         ::testing::Values(SplitCase{"data.csv", "data", ".csv"},
                                           SplitCase{"a.b.txt", "a.b", ".txt"}, SplitCase{"data", "data", ""},
                                           SplitCase{"data.", "data", ""}, SplitCase{".log", "", ".log"}));

TEST_F(LogFileTableTest, FileNameCarriesDateAndNumberByMode) {
  const char* const expected[] = {"data.log", "data-_261207.log", "data_-00003.log",
                                  "data-_261207_-00003.log"};
  for (std::int16_t mode = 0; mode < 4; ++mode) {
    Table.InitialiseAllFCBs();
    Table.InitialiseFCB(0, "data", mode);
    Table.FCBTable[0].SequenceNumber = 3;
    Table.CurrentFCB = 0;
    EXPECT_EQ(Table.BuildLogFileName(), expected[mode]) << "mode " << mode;
  }
  EXPECT_EQ(Table.strFileNum(), "00003");
  EXPECT_EQ(Table.yyMMdd(), "261207");
  EXPECT_EQ(Table.HHMMss(), "153045");
}

TEST_F(LogFileTableTest, NewestNumberIsFoundWithoutGapsOfAThousand) {
  EXPECT_EQ(Table.FindFreeFile("x_-", ".log"), 0);
  for (int n = 0; n <= 5; ++n) {
    Folder.Write(Numbered("x_-", n, ".log"), "");
  }
  EXPECT_EQ(Table.FindFreeFile("x_-", ".log"), 5);
  for (int n = 0; n <= 1500; ++n) {
    Folder.Write(Numbered("y_-", n, ".log"), "");
  }
  EXPECT_EQ(Table.FindFreeFile("y_-", ".log"), 1500);
}

TEST_F(LogFileTableTest, OpeningANumberedLogContinuesItsNewestFile) {
  for (int n = 0; n <= 7; ++n) {
    Folder.Write(Numbered("x_-", n, ".txt"), "");
  }
  EXPECT_EQ(Table.CreateFCB("x.txt", 2), 0);
  EXPECT_EQ(Table.FCBTable[0].SequenceNumber, 7);

  // Dated and numbered: only files of today count.
  Folder.Write("d-_261206_-00004.log", "");
  Folder.Write("d-_261207_-00002.log", "");
  EXPECT_EQ(Table.CreateFCB("d", 3), 1);
  EXPECT_EQ(Table.FCBTable[1].SequenceNumber, 2);
  EXPECT_EQ(Table.FCBTable[1].DateStamp, "261207");
}

TEST_F(LogFileTableTest, NumbersBeyondTheFieldContinueAtItsLast) {
  for (int n = 1000; n <= 40000; n += 1000) {
    Folder.Write(Numbered("big_-", n, ".log"), "old");
  }
  EXPECT_EQ(Table.CreateFCB("big", 2), 0);
  EXPECT_EQ(Table.FCBTable[0].SequenceNumber, kLastSequenceNumber);
}

TEST_F(LogFileTableTest, NamesMatchIgnoringCaseAndKeepTheFirstSpelling) {
  EXPECT_EQ(Table.CreateFCB("data.log", 0), 0);
  EXPECT_EQ(Table.GetFCB("Data.LOG"), 0);
  EXPECT_EQ(Table.GetFCB("DATA"), 0);  // no extension: any slot with the root
  EXPECT_EQ(Table.GetFCB("data.csv"), -1);
  EXPECT_EQ(Table.FCBTable[0].RootName, "data");
  EXPECT_EQ(Table.FCBTable[0].Extension, ".log");
  EXPECT_EQ(Table.CreateFCB("notes.", 0), 1);
  EXPECT_EQ(Table.FCBTable[1].Extension, ".log");
}

TEST_F(LogFileTableTest, TheTwentyFirstNameFindsNoSlot) {
  for (int i = 0; i < kFcbCount; ++i) {
    EXPECT_EQ(Table.CreateFCB("log" + std::to_string(i), 0), i);
  }
  EXPECT_EQ(Table.CreateFCB("one-too-many", 0), -1);
  ASSERT_EQ(Dialogs.Boxes.size(), 1U);
  EXPECT_EQ(Dialogs.Boxes[0].Title, "Log file allocation problem");
  EXPECT_EQ(Dialogs.Boxes[0].Text,
            "Failed to allocate an FCB for log file one-too-many. No free FCBs. Please report this to you "
            "equipment "
            "supplier.");
  EXPECT_EQ(Table.GetFCB("log19"), 19);
}

TEST_F(LogFileTableTest, FolderIsAskedForOnlyWhenMissingOrForced) {
  EXPECT_TRUE(Table.CreateLogDir(false));
  EXPECT_TRUE(Dialogs.Picks.empty());

  Table.SetLogFolder("");
  EXPECT_FALSE(Table.CreateLogDir(false));  // cancelled
  ASSERT_EQ(Dialogs.Picks.size(), 1U);
  Dialogs.FolderAnswer = "/home/op/logs";
  EXPECT_TRUE(Table.CreateLogDir(true));
  EXPECT_EQ(Table.MyLogFolder(), "/home/op/logs");
  EXPECT_EQ(ShownFolder, "/home/op/logs");
}

TEST_F(LogFileTableTest, FileExistsOnlyForReadableFiles) {
  Folder.Write("here.log", "x");
  EXPECT_TRUE(LogFileTable::FileExists(Folder.File("here.log")));
  EXPECT_FALSE(LogFileTable::FileExists(Folder.File("absent.log")));
  EXPECT_FALSE(LogFileTable::FileExists(Folder.Path.string()));  // a folder is no file
}

}  // namespace
}  // namespace korvani::hmi::log
