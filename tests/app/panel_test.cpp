// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/panel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/version.h"
#include "fakes/fake_panel_view.h"
#include "fakes/fake_platform.h"
#include "fakes/temp_folder.h"
#include "ports/added_ports.h"

namespace korvani::app {
namespace {

class PanelTest : public ::testing::Test {
 protected:
  PanelTest() { Fake.Devices.Names = {"USB Serial Port (COM3)"}; }

  fakes::FakePlatform Fake;
  fakes::FakeSerialPort& Port = Fake.Port;
  fakes::FakeSurface& Surface = Fake.Surface;
  fakes::FakeDialogs& Dialogs = Fake.Dialogs;
  fakes::FakePanelView View;
  Panel Subject{Fake.Get(), View};
};

TEST_F(PanelTest, StartUpRunsItsStepsInOrder) {
  Subject.FormLoad();
  EXPECT_EQ(Port.ReadLength, 0);
  EXPECT_EQ(View.Caption, "Korvani standalone " + VersionText() + "      Vexel Vavadivu");
  EXPECT_EQ(View.Steps, (std::vector<std::string>{"caption", "tab 1", "fit width", "title --"}));
  EXPECT_EQ(View.ComPorts, (std::vector<std::string>{"USB Serial Port (COM3)"}));
  EXPECT_EQ(View.BaudOption, 7);
  EXPECT_EQ(View.CharacterOption, 0);
  EXPECT_EQ(Subject.Current().Connection().PortNumber(), 3);
  EXPECT_TRUE(View.OpenDown);
  EXPECT_EQ(View.PortStatus, "COM3: 38400,N,8,1 Open");
  EXPECT_EQ(View.PortProblem, "");
  EXPECT_TRUE(Subject.Current().Link().IntroShowing());

  const auto& screen = Subject.Current().Screen();
  EXPECT_EQ(screen.ScreenColumns(), 40);
  EXPECT_EQ(screen.ScreenRows(), 26);
  EXPECT_EQ(screen.ForeColour(), 0xFFFFFF);
  EXPECT_EQ(screen.BackColour(), 0);
  EXPECT_EQ(screen.CursorX(), 1);
  EXPECT_EQ(screen.CursorY(), 1);
}

TEST_F(PanelTest, StartUpWithoutAPortGoesOnClosed) {
  Fake.Devices.Names.clear();
  Subject.FormLoad();
  ASSERT_EQ(Dialogs.Boxes.size(), 1U);
  EXPECT_EQ(Dialogs.Boxes[0].Title, "No COM port");
  EXPECT_FALSE(Port.Open);
  EXPECT_FALSE(View.OpenDown);
  EXPECT_EQ(Subject.Current().Connection().PortNumber(), 0);
  EXPECT_EQ(View.PortStatus, "? 38400,N,8,1 Closed");
  EXPECT_EQ(Subject.Current().Screen().ScreenColumns(), 40);
}

TEST_F(PanelTest, StartUpWithSeveralPortsAndNoneChosenLeavesThePortClosed) {
  Fake.Devices.Names = {"A (COM1)", "B (COM2)"};
  Subject.FormLoad();
  EXPECT_EQ(View.ComPortShown, "(Select COM port)");
  EXPECT_EQ(Subject.Current().Connection().PortNumber(), 0);
  EXPECT_FALSE(Port.Open);
}

TEST_F(PanelTest, PortNamedOnTheCommandLineIsListedChosenAndOpened) {
  Fake.Devices.Names = {"A (COM1)", "B (COM2)"};
  Subject.SetCommandLinePort(Fake.Devices.AddUserPort("/dev/pts/7"));
  Subject.FormLoad();
  EXPECT_EQ(View.ComPortShown, "Serial device /dev/pts/7 (COM200)");
  EXPECT_EQ(View.PortStatus, "COM200: 38400,N,8,1 Open");
}

// While a file goes out, nothing else may land among its bytes: keys, a prepared line and
// the panel's own messages are held back, and the view says so once.
TEST_F(PanelTest, NothingElseIsSentWhileAFileTransferRuns) {
  Subject.FormLoad();
  fakes::TempFolder folder;
  folder.Write("image.bin", std::string(100'000, 'f'));
  ASSERT_TRUE(Subject.Current().Transfers().SendAsItIs(folder.File("image.bin")));
  Port.StillToWrite = 16 * 1024;  // the line is slow: the file is still going out
  ASSERT_TRUE(Subject.Current().Transfers().Running());
  Port.Written.clear();
  EXPECT_FALSE(Subject.Current().SendToBoard("typed"));
  Subject.Current().Transmit().SetLine(0, "AT");
  Subject.Current().Transmit().SendLine(0);
  Subject.Current().Connect();
  EXPECT_EQ(Port.Written, "");
  const std::string shown = Subject.Current().Receive().ViewText();
  const std::string note = "a file transfer is running: nothing else is sent until it ends";
  ASSERT_NE(shown.find(note), std::string::npos);
  EXPECT_EQ(shown.find(note), shown.rfind(note)) << "said once";

  // A change of speed closes and reopens the port, losing what waited in it: the file did
  // not go out whole, and the transfer says so instead of "sent".
  Subject.Current().Connection().ChooseBaud(4);
  Port.StillToWrite = 0;
  for (fakes::FakeTimer* timer : Fake.Timers) {
    timer->Advance(20);
  }
  EXPECT_FALSE(Subject.Current().Transfers().Running());
  EXPECT_NE(View.TransferEnds.back().find("failed: the port was closed and opened again"), std::string::npos)
      << View.TransferEnds.back();
  EXPECT_TRUE(Subject.Current().SendToBoard("typed"));
  EXPECT_EQ(Port.Written, "typed");
}

// Two sessions in one program share nothing: each board is answered on its own port, and
// what one board draws stays on its own screen.
TEST_F(PanelTest, TwoSessionsKeepTheirBoardsApart) {
  fakes::FakeSerialPort otherPort;
  fakes::FakeSurface otherSurface;
  fakes::FakePanelView otherView;
  Problems problems(Dialogs, [] { return 0.0; });
  Session first(Fake.Get(), View.Views(), problems);
  Session second(Fake.With(otherPort, otherSurface), otherView.Views(), problems);
  Port.Open = otherPort.Open = true;
  first.Connect();
  second.Connect();
  Port.Written.clear();
  otherPort.Written.clear();

  otherPort.Arrive("\x01r\x03");  // the second board asks for the clock
  EXPECT_EQ(Port.Written, "");
  EXPECT_EQ(otherPort.Written.substr(0, 2), "\x07\x05");
  first.StartScreen();
  second.StartScreen();
  const std::int32_t secondRow = second.Screen().CursorY();
  Port.Arrive(
      "\x01"
      "F5\x02"
      "3\x03");  // the first board moves its cursor
  EXPECT_NE(first.Screen().CursorY(), secondRow);
  EXPECT_EQ(second.Screen().CursorY(), secondRow);
}

TEST_F(PanelTest, ConnectAndClockMessages) {
  Subject.FormLoad();
  Subject.Current().Connect();
  EXPECT_EQ(Port.Written, "\x06\x04");
  EXPECT_EQ(View.TxCaption, "Tx:06 04 ");
  EXPECT_FALSE(Subject.Current().Link().IntroShowing());

  Port.Written.clear();
  Port.Arrive("\x01r\x03");
  EXPECT_EQ(Port.Written,
            "\x07\x05"
            "2612071530450\x04");
  EXPECT_EQ(Port.Written.size(), 16U);

  Port.Written.clear();
  Fake.Clock.Time.Weekday = 0;  // Sunday
  Subject.Current().SetBoardClock();
  EXPECT_EQ(Port.Written,
            "\x07\x05"
            "2612071530456\x04");
}

TEST_F(PanelTest, SetRtcWithThePortClosedSendsNothing) {
  Fake.Devices.Names.clear();
  Subject.FormLoad();
  Subject.Current().SetBoardClock();
  EXPECT_EQ(Port.Written, "");
  EXPECT_EQ(View.TxCaption, "Tx: ");
  EXPECT_FALSE(Subject.Current().Link().IntroShowing());  // the intro state ends all the same
}

TEST_F(PanelTest, ClockCommandDuringTheIntroLeavesTheIntroStanding) {
  Subject.FormLoad();
  Port.Arrive("\x01r\x03");
  EXPECT_EQ(Port.Written.size(), 16U);
  EXPECT_TRUE(Subject.Current().Link().IntroShowing());
}

TEST_F(PanelTest, WidthCommandRepliesOnTheWireAfterSettingUp) {
  Subject.FormLoad();
  Port.Arrive("\x01V20\x02OK\x03");
  EXPECT_EQ(Port.Written, "OK\x04");
  EXPECT_EQ(View.TxCaption, "Tx:4F 4B 04 ");
  EXPECT_EQ(Subject.Current().Screen().ScreenColumns(), 20);
  EXPECT_FALSE(Subject.Current().Link().IntroShowing());
}

TEST_F(PanelTest, NegativeWidthIsAbandonedWithoutReply) {
  Subject.FormLoad();
  Port.Arrive("\x01V-5\x02OK\x03\x01V70000\x02Z\x03");
  EXPECT_EQ(Port.Written, "");
  EXPECT_EQ(Subject.Current().Screen().ScreenColumns(), 40);
}

TEST_F(PanelTest, FailedReplyLeavesTxLabelAlone) {
  Fake.Devices.Names.clear();
  Subject.FormLoad();  // no port open
  Port.Arrive("\x01V\x02OK\x03");
  EXPECT_EQ(Port.Written, "");
  EXPECT_EQ(View.TxCaption, "Tx: ");
}

TEST_F(PanelTest, BoardSequenceColoursAndPrintsWhereTold) {
  Subject.FormLoad();
  Port.Open = true;
  Port.Arrive(
      "\x01L0\x02"
      "0\x02"
      "255\x03\x01R\x03");
  EXPECT_EQ(Surface.Back, 0xFF0000);  // blue in the high byte
  Port.Arrive(
      "\x01K255\x02"
      "255\x02"
      "0\x03\x01"
      "F2\x02"
      "5\x03\x01@Hi\x03");
  ASSERT_EQ(Surface.Texts.size(), 1U);
  EXPECT_EQ(Surface.Texts[0].Value, "Hi");
  EXPECT_EQ(Surface.Texts[0].Colour, 0x00FFFF);  // yellow
  EXPECT_EQ(Surface.Texts[0].Y, 2 * 240);        // row 2 of 240-twip cells
  EXPECT_EQ(Surface.Texts[0].X, 5 * 120);        // column 5 of 120-twip cells
  EXPECT_EQ(Surface.Rects.back().Colour, 0xFF0000);
}

TEST_F(PanelTest, ResetAndClsButtonsReachTheScreen) {
  Subject.FormLoad();
  Subject.Current().Link().Receive(
      "\x01K1\x02"
      "2\x02"
      "3\x03\x01"
      "F3\x02"
      "3\x03");
  Subject.Current().ClearScreen();
  EXPECT_EQ(Subject.Current().Screen().CursorX(), 1);
  EXPECT_NE(Subject.Current().Screen().ForeColour(), 0xFFFFFF);
  Subject.Current().ResetScreen();
  EXPECT_EQ(Subject.Current().Screen().ForeColour(), 0xFFFFFF);
}

TEST_F(PanelTest, TestBoxInjectsDecodedMessagesWithoutWritingToThePort) {
  Subject.FormLoad();
  Port.Open = true;
  Subject.Current().InjectTestText("'01S'03'01@Hi'03");
  EXPECT_EQ(View.TestEcho, "01 53 03 01 40 48 69 03 ");
  ASSERT_EQ(Surface.Texts.size(), 1U);
  EXPECT_EQ(Surface.Texts[0].Value, "Hi");
  EXPECT_EQ(Port.Written, "");
  EXPECT_EQ(Subject.Current().Receive().ViewText(), "");  // injected text is not terminal traffic
}

TEST_F(PanelTest, TestTextJoinsWithReceivedData) {
  Subject.FormLoad();
  Port.Open = true;
  Port.Arrive("\x01@Hel");
  Subject.Current().InjectTestText("lo'03");
  ASSERT_EQ(Surface.Texts.size(), 1U);
  EXPECT_EQ(Surface.Texts[0].Value, "Hello");
}

// "Save screen...": cancelled, saved, or refused with the reason told.
TEST_F(PanelTest, SaveScreenWritesThePictureWhereTheUserSaysOrSaysWhyNot) {
  const struct {
    const char* Picked;
    const char* Problem;
    std::size_t Saved;
    std::size_t Boxes;
  } cases[] = {{"", "", 0, 0}, {"/tmp/panel.png", "", 1, 0}, {"/tmp/panel.png", "Permission denied", 1, 1}};
  for (const auto& c : cases) {
    View.PicturesSaved.clear();
    Dialogs.Boxes.clear();
    Dialogs.FileAnswer = c.Picked;
    View.PictureProblem = c.Problem;
    Subject.Current().SaveScreen();
    EXPECT_EQ(View.PicturesSaved.size(), c.Saved) << c.Problem;
    ASSERT_EQ(Dialogs.Boxes.size(), c.Boxes) << c.Problem;
    if (c.Boxes > 0) {
      EXPECT_EQ(Dialogs.Boxes[0].Text, "Unable to save the screen to /tmp/panel.png: Permission denied");
    }
  }
}

TEST_F(PanelTest, ReadsEverythingWaitingInOneChunk) {
  Subject.FormLoad();
  Port.Open = true;
  const int updates = View.RxUpdates;
  Port.Arrive(std::string(5000, 'z'));
  EXPECT_EQ(Subject.Current().Receive().History().ByteCount(), 5000U);
  EXPECT_EQ(View.RxUpdates, updates + 1);
}

TEST_F(PanelTest, NetworkPortTypedIsListedChosenAndOpenedOrRefusedWithItsReason) {
  fakes::TempFolder folder;
  ports::AddedPorts added(Fake.Devices, "");
  Panel panel{Fake.With(Port, Surface, &added), View};
  panel.FormLoad();
  EXPECT_FALSE(panel.Current().AddNetworkPort(" tcp://bridge "));
  EXPECT_EQ(View.PortProblem,
            "\"tcp://bridge\" is not a network port: the address needs a port number: tcp://HOST:PORT");
  EXPECT_EQ(Port.Number, 3) << "the port in use stays";

  View.OpenDown = false;
  EXPECT_TRUE(panel.Current().AddNetworkPort("10.0.0.7:4001"));
  EXPECT_EQ(View.ComPorts, (std::vector<std::string>{"USB Serial Port (COM3)",
                                                     "Network port tcp://10.0.0.7:4001 (COM220)"}));
  EXPECT_EQ(View.ComPortShown, "Network port tcp://10.0.0.7:4001 (COM220)");
  EXPECT_TRUE(View.OpenDown) << "added to be used: opened";
  EXPECT_EQ(View.PortStatus, "COM220: 38400,N,8,1 Open");

  EXPECT_FALSE(panel.Current().StartRecording(folder.File("no such folder/session.kvr")));
  ASSERT_EQ(Dialogs.Boxes.size(), 1U);
  EXPECT_NE(Dialogs.Boxes[0].Text.find("Unable to record: "), std::string::npos);
  EXPECT_EQ(View.RecordingShown, "");

  // A recording replayed is never recorded over, by whatever name it is given.
  const std::string recording = terminal::FormatSessionHeader({}) +
                                terminal::FormatSessionPiece({terminal::Direction::Received, 0, "abc"});
  folder.Write("s.kvr", recording);
  std::filesystem::create_directories(folder.Path / "sub");
  panel.Current().ReplaySession(folder.File("s.kvr"));
  EXPECT_FALSE(panel.Current().StartRecording(folder.File("sub/../s.kvr")));
  ASSERT_EQ(Dialogs.Boxes.size(), 2U);
  EXPECT_NE(Dialogs.Boxes[1].Text.find("is the recording on the port list for replay"), std::string::npos);
  EXPECT_EQ(folder.Read("s.kvr"), recording);
  EXPECT_TRUE(panel.Current().StartRecording(folder.File("other.kvr")));
  panel.Current().StopRecording();
}

TEST_F(PanelTest, LostPortShowsClosedWithTheReasonAndReopensWhenBack) {
  Subject.FormLoad();
  Port.RefuseOpen = true;
  Port.Error = "/dev/ttyUSB0: no such device";
  Port.Raise(ports::PortEvent::DeviceGone);
  EXPECT_FALSE(Port.Open);
  EXPECT_EQ(View.PortStatus, "? 38400,N,8,1 Closed");
  EXPECT_EQ(View.PortProblem, "/dev/ttyUSB0: no such device");
  EXPECT_TRUE(View.OpenDown);  // still wanted open

  Subject.Current().WatchPort();
  EXPECT_FALSE(Port.Open);
  Port.RefuseOpen = false;
  Port.Error.clear();
  Subject.Current().WatchPort();
  EXPECT_TRUE(Port.Open);
  EXPECT_EQ(View.PortStatus, "COM3: 38400,N,8,1 Open");
  EXPECT_EQ(View.PortProblem, "");
}

TEST_F(PanelTest, MessageBoxInsideAHandlerDefersDataUntilItCloses) {
  Subject.FormLoad();
  // While the "Limit exceeded" box is open the board sends its next width command.
  Dialogs.WhileShown = [this] {
    Dialogs.WhileShown = nullptr;
    Port.Arrive(
        "\x01V30\x02"
        "B\x03");
  };
  Port.Arrive(
      "\x01V200\x02"
      "A\x03");
  ASSERT_EQ(Dialogs.Boxes.size(), 1U);
  EXPECT_EQ(Port.Written,
            "A\x04"
            "B\x04");
  EXPECT_EQ(Subject.Current().Screen().ScreenColumns(), 30);
}

TEST_F(PanelTest, BoardLogsReachTheDiskAndThePaneWithoutEndingTheIntro) {
  fakes::TempFolder folder;
  Subject.FormLoad();
  Subject.Current().LogFiles().SetLogFolder(folder.Path.string());
  Port.Arrive(
      "\x01YDATA\x02"
      "2\x03\x01"
      "Bx\x03\x01"
      "A\x03\x01"
      "By\x03\x01"
      "A\x03");
  EXPECT_EQ(folder.Read("DATA_-00000.log"), "x\r\ny\r\n");
  EXPECT_TRUE(Subject.Current().Link().IntroShowing());
  Port.Arrive("\x01!line one\r\n\x03");
  EXPECT_EQ(View.HmiLog, "line one\r\n");
  EXPECT_FALSE(Subject.Current().Link().IntroShowing());  // "!" leaves the intro
}

TEST_F(PanelTest, HidingTheLogPaneRefitsTheScreenAndSendsTheConnectCode) {
  Subject.FormLoad();
  const float shownCell = Subject.Current().Screen().CellHeight();
  Port.Written.clear();
  Subject.Current().ScreenLog().HidePane();
  EXPECT_GT(Subject.Current().Screen().CellHeight(), shownCell);  // more room: a larger font
  EXPECT_EQ(Subject.Current().Screen().ScreenColumns(), 40);
  EXPECT_EQ(Port.Written, "\x06\x04");
}

// Terminal logs and the trace file that cannot be written (a full device, a folder that
// is gone) are skipped: the views, the log pane and the board's commands carry on.
TEST_F(PanelTest, UnwritableTerminalLogsAndTraceNeverStopTheReceivePath) {
  Subject.FormLoad();
  terminal::RxLogSettings& logs = Subject.Current().Receive().LogSettings();
  logs.LogAscii = true;
  logs.AsciiFileName = "/dev/full";
  logs.LogHex = true;
  logs.HexFileName = "/nonexistent-korvani-folder/hex.log";
  Subject.Current().ScreenLog().SetTraceToDisk(true);
  Subject.Current().ScreenLog().SetTraceFileName("/dev/full");

  Port.Arrive(
      "abc\x01!pane line\r\n\x03\x01V20\x02OK\x03"
      "def");
  EXPECT_EQ(Subject.Current().Receive().ViewText().substr(0, 3), "abc");
  EXPECT_NE(Subject.Current().Receive().ViewText().find("def"), std::string::npos);
  EXPECT_EQ(View.HmiLog, "pane line\r\n");
  EXPECT_EQ(Port.Written, "OK\x04");
  EXPECT_TRUE(Dialogs.Boxes.empty());
}

// The board asks for more columns than the layout holds, over and over: each refusal box
// is shown on its own. What arrives while one is open waits for it to close; boxes never
// pile up inside each other.
TEST_F(PanelTest, RepeatedImpossibleWidthsShowOneBoxAtATime) {
  Subject.FormLoad();
  const std::string tooWide = "\x01V200\x02OK\x03";
  int open = 0;
  int deepest = 0;
  int arrivals = 0;
  Dialogs.WhileShown = [&] {
    deepest = std::max(deepest, ++open);
    if (arrivals < 50) {
      ++arrivals;
      Port.Arrive(tooWide + tooWide);  // the board keeps sending while the box is up
    }
    --open;
  };
  Port.Arrive(tooWide);
  EXPECT_EQ(deepest, 1);
  EXPECT_EQ(Dialogs.Boxes.size(), 1U + 2U * 50U) << "every request is answered in turn";
  EXPECT_EQ(Port.Written.size(), 3U * (1U + 2U * 50U)) << "each with its reply, OK and EOT";
}

// The caption's build number is padded to three digits, never cut.
TEST(VersionTest, CaptionCarriesThreeDigitBuild) {
  EXPECT_EQ(VersionText(1, 3, 20), "V1.3 build 020");
  EXPECT_EQ(VersionText(2, 0, 5), "V2.0 build 005");
  EXPECT_EQ(VersionText(1, 10, 1234), "V1.10 build 1234");
}

}  // namespace
}  // namespace korvani::app
