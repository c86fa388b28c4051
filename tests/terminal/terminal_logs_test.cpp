// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/terminal_logs.h"

#include <gtest/gtest.h>

#include "fakes/fake_panel_view.h"
#include "fakes/fake_platform.h"
#include "fakes/temp_folder.h"

namespace korvani::terminal {
namespace {

class TerminalLogsTest : public ::testing::Test {
 protected:
  TerminalLogsTest() {
    Settings.AsciiFileName = Folder.File("ascii.log");
    Settings.HexFileName = Folder.File("hex.log");
    Clock.Time.Hour = 14;
    Clock.Time.Minute = 3;
    Clock.Time.Second = 27;
  }

  fakes::TempFolder Folder;
  RxLogSettings Settings;
  fakes::FakePanelView View;
  fakes::FakeDialogs Dialogs;
  fakes::FakeClock Clock;
  TerminalLogs Subject{Settings, View, Dialogs, Clock};
};

TEST_F(TerminalLogsTest, DividerGoesToBothFilesWhateverTheBoxes) {
  Subject.WriteMarkerLine();
  const std::string divider = "\r\n---------------------------------------- 14:03:27\r\n\r\n";
  EXPECT_EQ(Folder.Read("ascii.log"), divider);
  EXPECT_EQ(Folder.Read("hex.log"), divider);
}

TEST_F(TerminalLogsTest, ClearLeavesAnEmptyFileEvenWhereThereWasNone) {
  Subject.WriteAsciiLog("line");
  EXPECT_EQ(Folder.Read("ascii.log"), "line\r\n");
  Subject.ClearAsciiLog();
  Subject.ClearHexLog();
  EXPECT_TRUE(Folder.Exists("ascii.log"));
  EXPECT_EQ(Folder.Read("ascii.log"), "");
  EXPECT_TRUE(Folder.Exists("hex.log"));
}

TEST_F(TerminalLogsTest, PickedNamesReplaceTheOldOnesAndCancelKeepsThem) {
  Dialogs.FileAnswer = Folder.File("chosen.log");
  Subject.ChooseAsciiLogFile();
  EXPECT_EQ(Settings.AsciiFileName, Folder.File("chosen.log"));
  EXPECT_EQ(View.AsciiLogName, Folder.File("chosen.log"));
  EXPECT_FALSE(Folder.Exists("chosen.log"));  // choosing touches no file
  Dialogs.FileAnswer.clear();
  Subject.ChooseHexLogFile();
  EXPECT_EQ(Settings.HexFileName, Folder.File("hex.log"));
  EXPECT_EQ(Dialogs.Picks.back(), "save | " + Folder.File("hex.log"));
}

TEST_F(TerminalLogsTest, MissingFolderIsSilent) {
  Settings.AsciiFileName = Folder.File("none/ascii.log");
  Settings.HexFileName = "/dev/full";
  Subject.WriteMarkerLine();
  Subject.ClearAsciiLog();
  EXPECT_FALSE(Folder.Exists("none"));
}

}  // namespace
}  // namespace korvani::terminal
