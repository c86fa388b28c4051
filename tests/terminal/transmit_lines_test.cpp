// SPDX-License-Identifier: GPL-3.0-or-later
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
  std::vector<fakes::FakeTimer*> Timers;
  TransmitLines Subject{Port, Logs, View, [this] {
                          auto timer = std::make_unique<fakes::FakeTimer>();
                          Timers.push_back(timer.get());
                          return std::unique_ptr<base::Timer>(std::move(timer));
                        }};
};

// Periodic send: every tick sends the line while the port is open, a tick while the last
// bytes are still going out is skipped, and a tick that finds the port closed ends it.
TEST_F(TransmitLinesTest, ARepeatingLineGoesOutEveryIntervalAndNeverQueues) {
  Subject.SetLine(1, "ping'0D");
  Subject.SetLogSent(false);
  EXPECT_TRUE(Timers.empty());  // no timer until a line repeats
  Subject.SetRepeat(1, {true, 5});
  EXPECT_EQ(View.RepeatsShown[1], (TxRepeat{true, kLeastRepeatMs}));  // kept within its least
  ASSERT_EQ(Timers.size(), 1U);
  Timers[0]->Advance(30);
  EXPECT_EQ(Port.Written, "ping\rping\rping\r");
  Port.StillToWrite = 3;
  Timers[0]->Advance(20);
  EXPECT_EQ(Port.Written, "ping\rping\rping\r");
  Port.StillToWrite = 0;
  Timers[0]->Advance(10);
  EXPECT_EQ(Port.Written, "ping\rping\rping\rping\r");
  Port.Open = false;
  Timers[0]->Advance(10);
  EXPECT_EQ(View.RepeatsShown[1], (TxRepeat{false, kLeastRepeatMs}));
  EXPECT_FALSE(Timers[0]->Enabled());
}

TEST_F(TransmitLinesTest, TheRepeatsFileReadsBackWhatWasWrittenAndNothingDamaged) {
  std::array<TxRepeat, kTxLineCount> repeats;
  repeats[0] = {true, 250};
  repeats[4] = {false, 3600000};
  const std::string text = FormatRepeatsFile(repeats);
  std::array<TxRepeat, kTxLineCount> read;
  ASSERT_TRUE(ReadRepeatsFile(text, read));
  EXPECT_EQ(read, repeats);
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"1=on,250", "1=maybe,250"},
                                 {"1=on,250", "1=on,5"},
                                 {"1=on,250", "6=on,250"},
                                 {"2=off,1000\n", ""},
                                 {"1=on,250", "1=on"}}) {
    std::string damaged = text;
    damaged.replace(damaged.find(from), from.size(), to);
    std::array<TxRepeat, kTxLineCount> untouched = read;
    EXPECT_FALSE(ReadRepeatsFile(damaged, untouched)) << from << " -> " << to;
    EXPECT_EQ(untouched, read);
  }
}

// "Log Sent" decides whether a sent line is logged, and only into the logs whose boxes are
// ticked: the ASCII log as typed, the hex log in hex. No box ticked, no file made.
TEST_F(TransmitLinesTest, ASentLineIsLoggedOnlyIntoTheLogsThatAreOn) {
  const std::string typed = "Hello'0D '0A";
  const std::string asTyped = "\r\n<<< Hello'0D '0A\r\n\r\n";
  const std::string inHex = "\r\n<<< 48 65 6C 6C 6F 0D 0A \r\n\r\n";
  const struct {
    bool LogSent, LogAscii, LogHex;
    const char* Ascii;  // nullptr: no file
    const char* Hex;
  } cases[] = {{true, true, true, asTyped.c_str(), inHex.c_str()},
               {true, true, false, asTyped.c_str(), nullptr},
               {true, false, true, nullptr, inHex.c_str()},
               {true, false, false, nullptr, nullptr},
               {false, true, true, nullptr, nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.LogSent << c.LogAscii << c.LogHex);
    std::filesystem::remove(Folder.File("ascii.log"));
    std::filesystem::remove(Folder.File("hex.log"));
    Subject.SetLogSent(c.LogSent);
    Settings.LogAscii = c.LogAscii;
    Settings.LogHex = c.LogHex;
    Port.Written.clear();
    Subject.SetLine(2, typed);
    EXPECT_EQ(View.CheckDisp, "48 65 6C 6C 6F 0D 0A ");
    Subject.SendLine(2);
    EXPECT_EQ(Port.Written, "Hello\r\n");
    EXPECT_EQ(Folder.Exists("ascii.log"), c.Ascii != nullptr);
    EXPECT_EQ(Folder.Exists("hex.log"), c.Hex != nullptr);
    if (c.Ascii != nullptr) {
      EXPECT_EQ(Folder.Read("ascii.log"), c.Ascii);
    }
    if (c.Hex != nullptr) {
      EXPECT_EQ(Folder.Read("hex.log"), c.Hex);
    }
  }
}

TEST_F(TransmitLinesTest, CommentOnlyLineSendsNothingButIsStillLogged) {
  Settings.LogAscii = true;
  Subject.SetLine(0, ";just a note");
  EXPECT_EQ(View.CheckDisp, "");
  Subject.SendLine(0);
  Subject.SendLine(1);  // an empty line
  EXPECT_EQ(Port.Written, "");
  EXPECT_EQ(Folder.Read("ascii.log"), "\r\n<<< ;just a note\r\n\r\n\r\n<<< \r\n\r\n");
}

// The line end chosen goes after every sent line, an empty one too, and the preview shows it.
TEST_F(TransmitLinesTest, TheChosenLineEndEndsEverySentLine) {
  const struct {
    LineEnd End;
    const char* Preview;
    const char* Written;
  } cases[] = {{LineEnd::None, "41 ", "A"},
               {LineEnd::Cr, "41 0D ", "A\r\r"},
               {LineEnd::Lf, "41 0A ", "A\n\n"},
               {LineEnd::CrLf, "41 0D 0A ", "A\r\n\r\n"}};
  Subject.SetLine(0, "A");
  for (const auto& c : cases) {
    Port.Written.clear();
    Subject.SetLineEnd(c.End);
    EXPECT_EQ(View.CheckDisp, c.Preview);
    EXPECT_EQ(View.LineEndShown, c.End);
    Subject.SendLine(0);
    Subject.SendLine(1);  // empty: the line end alone
    EXPECT_EQ(Port.Written, c.Written);
    EXPECT_EQ(LineEndNamed(LineEndName(c.End)), c.End);
  }
  EXPECT_EQ(LineEndNamed("tab"), std::nullopt);
}

TEST_F(TransmitLinesTest, ClickingALineShowsItsBytesAgain) {
  Subject.SetLine(0, "A");
  Subject.SetLine(1, "B");
  Subject.UpdateCheckDisp(0);
  EXPECT_EQ(View.CheckDisp, "41 ");
}

TEST_F(TransmitLinesTest, ClosedPortTakesNothingAndNothingBreaks) {
  Port.Open = false;
  Settings.LogAscii = true;
  Subject.SetLine(0, "x");
  Subject.SendLine(0);
  EXPECT_EQ(Port.Written, "");
  EXPECT_TRUE(Folder.Exists("ascii.log"));
}

}  // namespace
}  // namespace korvani::terminal
