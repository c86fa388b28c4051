// SPDX-License-Identifier: GPL-3.0-or-later
// The demo board driving the real panel through the serial-port interface, on fake
// platform pieces: what it draws, how it answers the operator, what it logs.
#include "demo/demo_board.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <memory>
#include <string>

#include "app/panel.h"
#include "demo/demo_port.h"
#include "fakes/fake_panel_view.h"
#include "fakes/fake_platform.h"
#include "fakes/temp_folder.h"
#include "hmi/link/protocol.h"
#include "ports/added_ports.h"
#include "ports/port_router.h"

namespace korvani::demo {
namespace {

using hmi::link::BoardMessage;

TEST(DemoBoardTest, GreetsWithTheWidthCommandAndDrawsOnlyOnceThePanelAnswers) {
  DemoBoard board;
  board.PowerUp();
  EXPECT_EQ(board.TakeOutput(), BoardMessage('V', {"40", "DEMO"}));
  board.Tick();
  EXPECT_EQ(board.TakeOutput(), "") << "nothing is drawn before the panel answered";

  board.Hear("DEM");
  EXPECT_EQ(board.TakeOutput(), "") << "a reply counts only once its EOT arrives";
  board.Hear("O\x04");
  const std::string screen = board.TakeOutput();
  EXPECT_EQ(screen.rfind(BoardMessage('S') + BoardMessage('U'), 0), 0U);
  EXPECT_NE(screen.find(BoardMessage('O', {"1", "12", "1", "2", "12", "Count +", "R", "INC"})),
            std::string::npos);
  EXPECT_NE(screen.find(BoardMessage('r')), std::string::npos) << "asks for the PC clock";

  board.Hear("\x06\x04");  // "Connect" on the panel
  EXPECT_EQ(board.TakeOutput(), BoardMessage('V', {"40", "DEMO"}));
}

TEST(DemoBoardTest, AnswersTheOperator) {
  DemoBoard board;
  board.PowerUp();
  board.Hear("DEMO\x04");
  board.TakeOutput();

  board.Hear("INC\x04INC\x04");
  EXPECT_EQ(board.Count(), 2);
  EXPECT_NE(board.TakeOutput().find(BoardMessage('@', {"2     "})), std::string::npos);
  board.Hear("ZERO\x04");
  EXPECT_EQ(board.Count(), 0);

  board.TakeOutput();
  board.Hear("SET\x04");
  EXPECT_EQ(board.TakeOutput(), BoardMessage('T', {"New setpoint in degrees C", "10", "40", "SP"}));
  board.Hear(
      "SP\x05"
      "31\x04");
  EXPECT_EQ(board.Setpoint(), 31);
  board.Hear("SP\x05\x04");  // Cancel
  EXPECT_EQ(board.Setpoint(), 31);
  EXPECT_NE(board.TakeOutput().find("Setpoint left at 31 C"), std::string::npos);

  board.Hear(
      "\x07\x05"
      "2612071530450\x04");
  EXPECT_EQ(board.ClockText(), "2026-12-07 15:30:45 Mon");

  board.TakeOutput();
  board.Hear("7\x04");  // a key the board has no use for is reported in the log pane
  EXPECT_EQ(board.TakeOutput(), BoardMessage('!', {"The panel sent: 7\r\n"}));
}

TEST(DemoBoardTest, DiskLogIsSwitchedOnAndOffAndStartsAFreshFileEachTime) {
  DemoBoard board;
  board.PowerUp();
  board.Hear("DEMO\x04");
  board.TakeOutput();

  board.Hear("LOG\x04");
  std::string sent = board.TakeOutput();
  EXPECT_EQ(sent.rfind(BoardMessage('Y', {"demo", "3"}) +
                           BoardMessage('B', {"date,time,temperature,pressure"}) + BoardMessage('A'),
                       0),
            0U);
  for (int i = 0; i < 2 * 1000 / DemoBoard::kTickMs; ++i) {
    board.Tick();
  }
  sent = board.TakeOutput();
  EXPECT_NE(sent.find(BoardMessage('D') + BoardMessage('B', {","}) + BoardMessage('C')), std::string::npos);

  board.Hear("LOG\x04");
  EXPECT_EQ(board.TakeOutput().rfind(BoardMessage('Y', {""}), 0), 0U);
  board.Hear("LOG\x04");
  EXPECT_NE(board.TakeOutput().find(BoardMessage('Y', {"demo", "3"}) + BoardMessage('Z', {"demo"})),
            std::string::npos);
}

// The demo board listed, chosen and opened by the real panel, as --demo does.
class DemoOnPanelTest : public ::testing::Test {
 protected:
  DemoOnPanelTest() {
    Fake.Devices.Names = {"USB Serial Port (COM3)"};
    Subject.SetCommandLinePort(kDemoPortNumber);
    Subject.FormLoad();
    Subject.Current().LogFiles().SetLogFolder(Logs.Path.string());
  }

  // Lets the board run for a while.
  void Run(int milliseconds) { BoardTimer->Advance(milliseconds); }

  fakes::FakePlatform Fake;
  fakes::TempFolder Logs;
  // Listed and made as the program does for --demo: the session makes the board when its
  // number is chosen.
  app::Platform WithDemo() {
    app::Platform platform = Fake.With(Fake.Port, Fake.Surface, &Devices);
    platform.Sources = {{ports::SchemeByPrefix(ports::kDemoScheme), [this](const ports::SourceNeeds& needs) {
                           auto board = std::make_unique<DemoPort>(std::move(Timer));
                           board->SetPanelWritesLogs(needs.PanelWritesLogs);
                           Made = board.get();
                           return std::unique_ptr<ports::SerialPort>(std::move(board));
                         }}};
    return platform;
  }

  std::unique_ptr<fakes::FakeTimer> Timer = std::make_unique<fakes::FakeTimer>();
  fakes::FakeTimer* BoardTimer = Timer.get();
  DemoPort* Made = nullptr;
  ports::AddedPorts Devices{Fake.Devices, ""};
  bool Listed = (Devices.AddUserPort(std::string(ports::kDemoScheme)), true);
  fakes::FakePanelView View;
  app::Panel Subject{WithDemo(), View};
  DemoPort& Board() { return *Made; }
};

TEST_F(DemoOnPanelTest, IsListedOpenedAndDrawsItsScreen) {
  EXPECT_EQ(View.ComPorts, (std::vector<std::string>{"USB Serial Port (COM3)", "Vexel demo board (COM255)"}));
  EXPECT_EQ(View.PortStatus, "COM255: 38400,N,8,1 Open");
  Run(200);

  EXPECT_FALSE(Subject.Current().Link().IntroShowing()) << "the board's first screen command ends the intro";
  EXPECT_EQ(View.Buttons[0].Caption, "Count +");
  EXPECT_EQ(View.Buttons[5].Caption, "Disk log");
  EXPECT_TRUE(View.Buttons[5].Visible);
  EXPECT_FALSE(View.Buttons[6].Visible) << "the panel's default buttons are removed";
  EXPECT_EQ(Board().Board().ClockText(), "2026-12-07 15:30:45 Mon");
  EXPECT_NE(View.HmiLog.find("Demo board ready"), std::string::npos);
  EXPECT_TRUE(Fake.Port.Written.empty()) << "nothing reaches the real port";
}

TEST_F(DemoOnPanelTest, ButtonsSetpointAndDiskLogWorkThroughThePanel) {
  Run(200);
  Subject.Current().Buttons().Press(0);  // "Count +", held
  Fake.ButtonTimer().Advance(1000);
  Subject.Current().Buttons().Release(0);
  EXPECT_GT(Board().Board().Count(), 3) << "the held button repeats";

  Subject.Current().Buttons().Press(2);  // "Setpoint"
  Subject.Current().Buttons().Release(2);
  Run(100);
  ASSERT_TRUE(View.EntryShown);
  View.EntryBox = "33";
  Subject.Current().Entry().Accept();
  EXPECT_EQ(Board().Board().Setpoint(), 33);

  Subject.Current().Buttons().Press(5);  // "Disk log"
  Subject.Current().Buttons().Release(5);
  Run(4100);
  EXPECT_TRUE(Fake.Dialogs.Boxes.empty());
  const std::string file = "demo-_261207_-00000.log";
  ASSERT_TRUE(Logs.Exists(file));
  const std::string log = Logs.Read(file);
  EXPECT_EQ(log.rfind("date,time,temperature,pressure\r\n261207,153045,", 0), 0U) << log;
}

// With no log folder (the picker cancelled) the panel gives up logging, and the demo's screen
// says so instead of "on".
TEST_F(DemoOnPanelTest, TheDiskLogLineSaysWhenThePanelWritesNothing) {
  Subject.Current().LogFiles().SetLogFolder("");
  Run(200);
  Subject.Current().Buttons().Press(5);  // "Disk log"
  Subject.Current().Buttons().Release(5);
  Run(200);
  EXPECT_TRUE(Subject.Current().LogFiles().LoggingInhibited);
  // The disk log's line as last drawn.
  const auto last =
      std::find_if(Fake.Surface.Texts.rbegin(), Fake.Surface.Texts.rend(), [](const auto& drawn) {
        return drawn.Value.starts_with("on (demo-") || drawn.Value.starts_with("not written");
      });
  ASSERT_NE(last, Fake.Surface.Texts.rend());
  EXPECT_EQ(last->Value, "not written: no log folder ");
}

TEST_F(DemoOnPanelTest, ChoosingAnotherPortClosesTheBoard) {
  Run(100);
  View.ComPortShown = "USB Serial Port (COM3)";
  Subject.Current().Connection().ApplyChosenPort();
  EXPECT_FALSE(Board().IsOpen());
  EXPECT_TRUE(Fake.Port.Open);
  EXPECT_EQ(View.PortStatus, "COM3: 38400,N,8,1 Open");
}

}  // namespace
}  // namespace korvani::demo
