#include "terminal/transmit_lines.h"

#include <gtest/gtest.h>

#include "fakes/fake_panel_view.h"
#include "fakes/fake_platform.h"
#include "fakes/temp_folder.h"

namespace korvani::terminal {
namespace {

class TransmitLinesTest : public ::testing::Test {
 protected:
  TransmitLinesTest() {
    Port.Open = true;
    Settings.AsciiFileName = Folder.File("ascii.log");
    Settings.HexFileName = Folder.File("hex.log");
  }

  fakes::TempFolder Folder;
  fakes::FakeSerialPort Port;
  RxLogSettings Settings;
  fakes::FakePanelView View;
  fakes::FakeDialogs Dialogs;
  fakes::FakeClock Clock;
  TerminalLogs Logs{Settings, View, Dialogs, Clock};
  TransmitLines Subject{Port, Logs, View};
};

TEST_F(TransmitLinesTest, LineIsPreviewedSentAndEchoedToBothLogs) {
  Subject.SetLine(2, "Hello'0D '0A");
  EXPECT_EQ(View.CheckDisp, "48 65 6C 6C 6F 0D 0A ");
  Subject.SendLine(2);
  EXPECT_EQ(Port.Written, "Hello\r\n");
  const std::string echo = "\r\n<<< Hello'0D '0A\r\n\r\n";
  EXPECT_EQ(Folder.Read("ascii.log"), echo);
  EXPECT_EQ(Folder.Read("hex.log"), echo);
}

TEST_F(TransmitLinesTest, CommentOnlyLineSendsNothingButIsStillLogged) {
  Subject.SetLine(0, ";just a note");
  EXPECT_EQ(View.CheckDisp, "");
  Subject.SendLine(0);
  Subject.SendLine(1);  // an empty line
  EXPECT_EQ(Port.Written, "");
  EXPECT_EQ(Folder.Read("ascii.log"), "\r\n<<< ;just a note\r\n\r\n\r\n<<< \r\n\r\n");
}

TEST_F(TransmitLinesTest, ClickingALineShowsItsBytesAgain) {
  Subject.SetLine(0, "A");
  Subject.SetLine(1, "B");
  Subject.UpdateCheckDisp(0);
  EXPECT_EQ(View.CheckDisp, "41 ");
}

TEST_F(TransmitLinesTest, LogSentOffKeepsSentLinesOutOfTheLogs) {
  Subject.SetLogSent(false);
  Subject.SetLine(0, "x");
  Subject.SendLine(0);
  EXPECT_EQ(Port.Written, "x");
  EXPECT_FALSE(Folder.Exists("ascii.log"));
}

TEST_F(TransmitLinesTest, ClosedPortTakesNothingAndNothingBreaks) {
  Port.Open = false;
  Subject.SetLine(0, "x");
  Subject.SendLine(0);
  EXPECT_EQ(Port.Written, "");
  EXPECT_TRUE(Folder.Exists("ascii.log"));
}

}  // namespace
}  // namespace korvani::terminal
