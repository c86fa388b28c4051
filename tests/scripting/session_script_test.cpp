// SPDX-License-Identifier: GPL-3.0-or-later
#include "scripting/session_script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/panel.h"
#include "fakes/fake_panel_view.h"
#include "fakes/fake_platform.h"
#include "hmi/link/protocol.h"

namespace korvani::scripting {
namespace {

using hmi::link::BoardMessage;

// A script on a real session over a fake port: the board's bytes arrive, the timer turns.
class SessionScriptTest : public ::testing::Test {
 protected:
  SessionScriptTest() {
    Fake.Devices.Names = {"USB Serial Port (COM3)"};
    Panel.FormLoad();
    auto timer = std::make_unique<fakes::FakeTimer>();
    Turns = timer.get();
    Script = std::make_unique<SessionScript>(
        Panel.Current(), std::move(timer), [this] { return NowUs; },
        ScriptHooks{[this](std::string_view line) { Out.emplace_back(line); },
                    [this](const script::RunStep& end) { Ends.push_back(end); }});
  }

  // Lets time pass, a millisecond at a time, as the window's timer would.
  void Pass(int milliseconds) {
    for (int i = 0; i < milliseconds && Ends.empty(); ++i) {
      NowUs += 1000;
      Turns->Advance(1);
    }
  }

  fakes::FakePlatform Fake;
  fakes::FakePanelView View;
  app::Panel Panel{Fake.Get(), View};
  fakes::FakeTimer* Turns = nullptr;
  std::int64_t NowUs = 1000000;
  std::vector<std::string> Out;
  std::vector<script::RunStep> Ends;
  std::unique_ptr<SessionScript> Script;
};

TEST_F(SessionScriptTest, AScriptDrivesTheBoardThroughItsSession) {
  Script->Start(R"lua(
    expect('ready>')
    sendline('go')
    log(screen.text(1):sub(1, 5), screen.find('Hello'))
    log(screen.find('F3'))
    press('F3')
    enter(42)
    line{baud=57600, format='8N2'}
    brk(0.1)
    log(string.format('%06X', screen.colour(1, 1)))
  )lua",
                "board.lua");
  Pass(5);
  EXPECT_TRUE(Ends.empty()) << "waits for the board";
  Fake.Port.Arrive(BoardMessage('S') + BoardMessage('K', {"255", "0", "0"}) + BoardMessage('@', {"Hello"}) +
                   BoardMessage('T', {"Speed?", "1", "100", "s"}) + "boot ready> ");
  Pass(20);  // looked at within 10 ms of the bytes
  ASSERT_EQ(Ends.size(), 1U);
  EXPECT_EQ(Ends[0].State, script::RunState::Finished) << Ends[0].Error;
  ASSERT_EQ(Out.size(), 3U);
  EXPECT_EQ(Out[0], "Hello\t1\t1");
  EXPECT_EQ(Out[1], "20\t22") << "F3's button, by where it sits";
  EXPECT_EQ(Out[2], "FF0000") << "red, as the board set it";
  EXPECT_NE(Fake.Port.Written.find("go\r\n"), std::string::npos)
      << "a line ends while the Tx lines have none";
  EXPECT_NE(Fake.Port.Written.find(hmi::link::TextMessage("3") + hmi::link::EntryAnswer("s", "42")),
            std::string::npos)
      << "F3 pressed, then the prompt answered";
  EXPECT_EQ(Fake.Port.Given.Baud, 57600);
  EXPECT_EQ(Fake.Port.Given.StopBits, "2");
  EXPECT_EQ(Fake.Port.Breaks, std::vector<int>{100});
}

TEST_F(SessionScriptTest, RefusalsAndTheStopEndTheScriptWithTheirReason) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"press('Nowhere')", "s.lua:1: no soft button shown reads \"Nowhere\""},
      {"enter(5)", "s.lua:1: the board has not asked for a number"},
      {"line{format='9Q1'}", "s.lua:1: --format"},
      {"press(101)", "s.lua:1: soft buttons are numbered 1 to 100"},
  };
  for (const auto& [text, error] : cases) {
    SCOPED_TRACE(text);
    Ends.clear();
    Script->Start(text, "s.lua");
    Pass(5);
    ASSERT_EQ(Ends.size(), 1U);
    EXPECT_EQ(Ends[0].State, script::RunState::Failed);
    EXPECT_TRUE(Ends[0].Error.starts_with(error)) << Ends[0].Error;
  }
  Ends.clear();
  Script->Start("sleep(60)", "s.lua");
  Pass(50);
  EXPECT_TRUE(Script->Running());
  Script->Stop();
  ASSERT_EQ(Ends.size(), 1U);
  EXPECT_EQ(Ends[0].Error, "s.lua: stopped");
  EXPECT_FALSE(Turns->Enabled()) << "a stopped script costs nothing";
}

}  // namespace
}  // namespace korvani::scripting
