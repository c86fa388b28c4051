// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/log/hmi_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_panel_view.h"
#include "fakes/fake_platform.h"
#include "fakes/temp_folder.h"

namespace korvani::hmi::log {
namespace {

class HmiLogTest : public ::testing::Test {
 protected:
  HmiLogTest() { Subject.SetTraceFileName(Folder.File("trace.txt")); }

  fakes::TempFolder Folder;
  fakes::FakePanelView View;
  fakes::FakeDialogs Dialogs;
  fakes::FakeClock Clock;
  std::vector<bool> Refits;
  HmiLog Subject{View, View, Dialogs, Clock, [this](bool visible) { Refits.push_back(visible); }};
};

TEST_F(HmiLogTest, KeepsTheLastFiftyThousandCharacters) {
  Subject.AddToHMILog(std::string(30000, 'a'), false);
  Subject.AddToHMILog(std::string(30000, 'b'), false);
  EXPECT_EQ(Subject.HMILogText().size(), kHmiLogLimit);
  EXPECT_EQ(Subject.HMILogText().front(), 'a');
  EXPECT_EQ(View.HmiLog, Subject.HMILogText());
}

TEST_F(HmiLogTest, FrozenPaneCatchesUpOnUpdate) {
  Subject.AddToHMILog("one ", false);
  Subject.ToggleFreeze();
  EXPECT_EQ(View.LogFreezeCaption, "Update");
  Subject.AddToHMILog("two ", false);
  EXPECT_EQ(View.HmiLog, "one ");
  Subject.ClearPane();  // clearing while frozen leaves the pane
  EXPECT_EQ(View.HmiLog, "one ");
  Subject.AddToHMILog("three", false);
  Subject.ToggleFreeze();
  EXPECT_EQ(View.LogFreezeCaption, "Freeze");
  EXPECT_EQ(View.HmiLog, "three");
}

TEST_F(HmiLogTest, TraceGetsEveryPieceAsItCame) {
  Subject.AddToHMILog("ab", false);  // not ticked yet
  Subject.SetTraceToDisk(true);
  Subject.AddToHMILog("cd", false);
  Subject.AddToHMILog("ef", false);
  EXPECT_EQ(Folder.Read("trace.txt"), "cdef");
  Subject.ClearTraceFile();
  EXPECT_EQ(Folder.Read("trace.txt"), "");
}

TEST_F(HmiLogTest, UnwritableTraceFilesAreIgnored) {
  Subject.SetTraceToDisk(true);
  for (const std::string& name :
       {std::string("/dev/full"), Folder.File("missing/trace.txt"), std::string()}) {
    Subject.SetTraceFileName(name);
    Subject.AddToHMILog("x", false);
    Subject.ClearTraceFile();
  }
  EXPECT_EQ(Subject.HMILogText(), "xxx");
}

TEST_F(HmiLogTest, DividerCarriesTheTime) {
  Subject.AddMarker();
  EXPECT_EQ(Subject.HMILogText(), "\r\n----------------------------------------- 15:30:45\r\n");
}

TEST_F(HmiLogTest, HidingAndShowingRefitTheScreen) {
  Subject.HidePane();
  EXPECT_FALSE(View.LogPaneShown);
  Subject.AddToHMILog("while hidden", false);
  EXPECT_EQ(View.HmiLog, "while hidden");  // kept up to date for when it shows again
  Subject.ShowPane();
  EXPECT_TRUE(View.LogPaneShown);
  EXPECT_EQ(Refits, (std::vector<bool>{false, true}));
}

TEST_F(HmiLogTest, PickedTraceFileReplacesTheName) {
  Dialogs.FileAnswer = "/home/op/trace.log";
  Subject.SelectTraceFile();
  EXPECT_EQ(Subject.TraceFileName(), "/home/op/trace.log");
  EXPECT_EQ(View.TraceFile, "/home/op/trace.log");
  Dialogs.FileAnswer.clear();
  Subject.SelectTraceFile();
  EXPECT_EQ(Subject.TraceFileName(), "/home/op/trace.log");
}

}  // namespace
}  // namespace korvani::hmi::log
