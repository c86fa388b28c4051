// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/receive_path.h"
#include "terminal/terminal_logs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "fakes/fake_panel_view.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_serial_port.h"

namespace korvani::terminal {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

class ReceivePathTest : public ::testing::Test {
 protected:
  ReceivePathTest() {
    Port.Open = true;
    Port.SetEventHandler([this](ports::PortEvent event) { Rx.OnPortEvent(event); });
  }

  fakes::FakeSerialPort Port;
  fakes::FakePanelView View;
  std::vector<std::string> HmiChunks;
  ReceivePath Rx{Port, View, [this](std::string_view chunk) { HmiChunks.emplace_back(chunk); }};
};

TEST_F(ReceivePathTest, KeepsWhatArrivesAndShowsItInEitherForm) {
  Port.Arrive(
      "A\x02"
      "B");
  EXPECT_EQ(Rx.ViewText(), "A'02 B\r\n");
  EXPECT_EQ(View.RxUpdates, 1);
  Rx.ShowHex();
  EXPECT_EQ(View.RxForm, HistoryForm::Hex);
  EXPECT_EQ(Rx.ViewText(), "41 02 42 \r\n");
  ASSERT_EQ(HmiChunks.size(), 1U);
  EXPECT_EQ(HmiChunks[0],
            "A\x02"
            "B");
}

TEST_F(ReceivePathTest, ClearEmptiesTheViewAndTheHexLogsRowsStartAgain) {
  Port.Arrive("abc");
  Rx.ClearPane();
  EXPECT_EQ(Rx.ViewText(), "");
  Port.Arrive("d");
  EXPECT_EQ(Rx.ViewText(), "d\r\n");
  EXPECT_EQ(Rx.HexColumn(), 1);
  EXPECT_EQ(HmiChunks.size(), 2U);  // the HMI side is not touched by Clear
}

TEST_F(ReceivePathTest, FrozenViewKeepsWhatItShowedWhileDataFlowsOn) {
  Port.Arrive("one");
  Rx.ToggleFreeze();
  EXPECT_EQ(View.FreezeCaption, "Update");
  const int updates = View.RxUpdates;

  Port.Arrive("two");
  EXPECT_EQ(View.RxUpdates, updates);
  EXPECT_EQ(Rx.ViewText(), "one\r\n");
  EXPECT_EQ(HmiChunks.size(), 2U);

  // The other form as it was at the moment of freezing.
  Rx.ShowHex();
  EXPECT_EQ(Rx.ViewText(), "6F 6E 65 \r\n");

  // "Update" brings the view up to date at once, with what came while frozen.
  const int frozenUpdates = View.RxUpdates;
  Rx.ToggleFreeze();
  EXPECT_EQ(View.FreezeCaption, "Freeze");
  EXPECT_EQ(View.RxUpdates, frozenUpdates + 1);
  Rx.ShowAscii();
  Port.Arrive("3");
  EXPECT_EQ(Rx.ViewText(), "onetwo3\r\n");
}

TEST_F(ReceivePathTest, ClearWhileFrozenKeepsTheViewEmptyUntilLive) {
  Port.Arrive("one");
  Rx.ToggleFreeze();
  Rx.ClearPane();
  Port.Arrive("two");
  EXPECT_EQ(Rx.ViewText(), "");
  Rx.ToggleFreeze();
  EXPECT_EQ(Rx.ViewText(), "two\r\n");
}

TEST_F(ReceivePathTest, EventWithNothingWaitingDoesNothing) {
  Port.Raise(ports::PortEvent::Received);
  EXPECT_EQ(View.RxUpdates, 0);
  EXPECT_TRUE(HmiChunks.empty());
}

struct EventCase {
  ports::PortEvent Event;
  const char* Name;
  bool Resets;
};

std::ostream& operator<<(std::ostream& out, const EventCase& c) {
  return out << c.Name << (c.Resets ? " resets" : " is ignored");
}

class ReceivePathEventTest : public ReceivePathTest, public ::testing::WithParamInterface<EventCase> {};

TEST_P(ReceivePathEventTest, ErrorEventsResetThePort) {
  Port.Raise(GetParam().Event);
  if (GetParam().Resets) {
    EXPECT_EQ(Port.OpenCalls, (std::vector<bool>{false, true}));
  } else {
    EXPECT_TRUE(Port.OpenCalls.empty());
  }
  EXPECT_TRUE(Port.Open);
}

INSTANTIATE_TEST_SUITE_P(Events, ReceivePathEventTest,
                         ::testing::Values(EventCase{ports::PortEvent::LineChanged, "LineChanged", false},
                                           EventCase{ports::PortEvent::Timeout, "Timeout", true},
                                           EventCase{ports::PortEvent::ReadFailed, "ReadFailed", true},
                                           EventCase{ports::PortEvent::DeviceGone, "DeviceGone", true},
                                           EventCase{ports::PortEvent::WriteFailed, "WriteFailed", true},
                                           EventCase{ports::PortEvent::OtherError, "OtherError", true}),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.Name); });

TEST_F(ReceivePathTest, FullReceiveBufferResetsThePort) {
  Port.CapacityBytes = 8;
  Port.Waiting = "12345678";
  Port.Raise(ports::PortEvent::Received);
  EXPECT_EQ(Port.OpenCalls, (std::vector<bool>{false, true}));
  EXPECT_TRUE(HmiChunks.empty());  // the reset lost what the port held
}

TEST_F(ReceivePathTest, DataTurnedAwayByTheGuardIsReadWhenItClears) {
  // A handler that lets the event loop run: more data arrives while the chunk is handled.
  bool nested = false;
  ReceivePath rx{Port, View, [&](std::string_view chunk) {
                   HmiChunks.emplace_back(chunk);
                   if (!nested) {
                     nested = true;
                     Port.Arrive("late");
                   }
                 }};
  Port.SetEventHandler([&](ports::PortEvent event) { rx.OnPortEvent(event); });
  Port.Arrive("first");
  EXPECT_EQ(HmiChunks, (std::vector<std::string>{"first", "late"}));
  EXPECT_EQ(rx.ViewText(), "firstlate\r\n");
}

class ReceivePathLogTest : public ReceivePathTest {
 protected:
  void SetUp() override {
    Folder = fs::temp_directory_path() /
             ("korvani-rx-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Folder);
    fs::create_directories(Folder);
    Rx.LogSettings().AsciiFileName = (Folder / "ascii.log").string();
    Rx.LogSettings().HexFileName = (Folder / "hex.log").string();
  }
  void TearDown() override { fs::remove_all(Folder); }

  fs::path Folder;
};

TEST_F(ReceivePathLogTest, WritesEachViewsTextOnlyWhenItsBoxIsTicked) {
  Port.Arrive("A\x01");
  EXPECT_FALSE(fs::exists(Folder / "ascii.log"));
  EXPECT_FALSE(fs::exists(Folder / "hex.log"));

  Rx.LogSettings().LogAscii = true;
  Rx.LogSettings().LogHex = true;
  Port.Arrive("B\x02");
  Port.Arrive(std::string(24, 'C'));
  EXPECT_EQ(ReadFile(Folder / "ascii.log"), "B'02 " + std::string(24, 'C'));
  std::string expectedHex = "42 02 ";
  for (int i = 0; i < 24; ++i) {
    expectedHex += "43 ";
    if (i == 20) {
      expectedHex += "\r\n";  // 2 + 2 bytes before, so the 25th of the line
    }
  }
  EXPECT_EQ(ReadFile(Folder / "hex.log"), expectedHex);
}

// With time stamps on, each line of the ASCII log starts with the time its first byte came,
// however the lines were cut into chunks, sent lines and dividers included; the hex log is
// as it was. Off, both logs are as they always were.
TEST_F(ReceivePathLogTest, TimeStampsStartEachAsciiLogLineAndLeaveTheHexLogAlone) {
  fakes::FakeClock clock;
  fakes::FakeDialogs dialogs;
  Rx.SetClock(clock);
  TerminalLogs logs(Rx.LogSettings(), View, dialogs, clock);
  Rx.LogSettings().LogAscii = true;
  Rx.LogSettings().LogHex = true;
  Rx.SetTimestamps(true);
  EXPECT_TRUE(View.TimestampsShown);
  const struct {
    const char* Chunk;
    int Second;
  } chunks[] = {{"one\r", 1}, {"\ntw", 2}, {"o\rthree\r", 3}, {"", 4}, {"x\n\n", 5}};
  std::string sent;
  for (const auto& c : chunks) {
    clock.Time.Second = c.Second;
    clock.Time.Millisecond = 7;
    Port.Arrive(c.Chunk);
    sent += c.Chunk;
  }
  clock.Time.Second = 6;
  logs.WriteAsciiLog("<<< hi");
  EXPECT_EQ(ReadFile(Folder / "ascii.log"),
            "15:30:01.007 one\r\n15:30:02.007 two\r15:30:03.007 three\r15:30:05.007 x\n"
            "15:30:05.007 \n15:30:06.007 <<< hi\r\n");
  EXPECT_EQ(ReadFile(Folder / "hex.log").substr(0, 6), "6F 6E ");
  EXPECT_EQ(ReadFile(Folder / "hex.log").find(':'), std::string::npos);

  Rx.SetTimestamps(false);
  fs::remove(Folder / "ascii.log");
  Port.Arrive("plain\r\n");
  EXPECT_EQ(ReadFile(Folder / "ascii.log"), "plain\r\n");
}

// While more is on its way the logs keep what arrives, and write it in order once the line
// is quiet, when the timer ticks, or before the log is emptied (what it kept goes too).
TEST_F(ReceivePathLogTest, WhileMoreArrivesTheLogsAreWrittenInOneGoLater) {
  auto owned = std::make_unique<fakes::FakeTimer>();
  fakes::FakeTimer& timer = *owned;
  Rx.SetLogTimer(std::move(owned));
  fakes::FakeClock clock;
  fakes::FakeDialogs dialogs;
  TerminalLogs logs(Rx.LogSettings(), View, dialogs, clock);
  Rx.LogSettings().LogAscii = true;
  Rx.LogSettings().LogHex = true;
  const auto logged = [this] { return ReadFile(Folder / "ascii.log") + "|" + ReadFile(Folder / "hex.log"); };

  Port.MoreComing = true;
  Port.Arrive("a");
  Port.Arrive("b");
  EXPECT_EQ(logged(), "|");
  EXPECT_TRUE(timer.Enabled());
  Port.MoreComing = false;
  Port.Arrive("c");
  EXPECT_EQ(logged(), "abc|61 62 63 ");
  EXPECT_FALSE(timer.Enabled());

  Port.MoreComing = true;
  Port.Arrive("d");
  timer.Advance(ReceivePath::kLogLagMs - 1);
  EXPECT_EQ(logged(), "abc|61 62 63 ");
  timer.Advance(1);
  EXPECT_EQ(logged(), "abcd|61 62 63 64 ");

  Port.Arrive("e");
  logs.WriteAsciiLog("sent");  // after what was kept
  EXPECT_EQ(ReadFile(Folder / "ascii.log"), "abcdesent\r\n");
  Port.Arrive("f");
  logs.ClearHexLog();
  Port.MoreComing = false;
  Port.Arrive("g");
  EXPECT_EQ(logged(), "abcdesent\r\nfg|67 ");
}

// A log that cannot be written is told once, not per chunk, and the telling ends when it
// writes again; reception goes on throughout.
TEST_F(ReceivePathLogTest, UnwritableLogFileIsToldOnceAndDoesNotStopReception) {
  Rx.LogSettings().LogAscii = true;
  Rx.LogSettings().LogHex = true;
  const fs::path missing = Folder / "missing-folder";
  Rx.LogSettings().AsciiFileName = (missing / "ascii.log").string();
  Port.Arrive("still here");
  Port.Arrive(" and here");
  EXPECT_EQ(Rx.ViewText(), "still here and here\r\n");
  EXPECT_EQ(HmiChunks.size(), 2U);
  EXPECT_EQ(View.LogProblemsShown, 1);
  EXPECT_EQ(View.LogProblem.rfind("ASCII log " + (missing / "ascii.log").string() + ": ", 0), 0U)
      << View.LogProblem;
  fs::create_directories(missing);
  Port.Arrive("!");
  EXPECT_EQ(View.LogProblemsShown, 2);
  EXPECT_EQ(View.LogProblem, "");
}

}  // namespace
}  // namespace korvani::terminal
