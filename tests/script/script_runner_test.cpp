// SPDX-License-Identifier: GPL-3.0-or-later
#include "script/script_runner.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace korvani::script {
namespace {

using namespace std::chrono_literals;

// A board's session as a script sees it: a screen of two rows and a button "Start".
class FakeHost final : public ScriptHost {
 public:
  bool Send(std::string_view bytes) override {
    Sent += bytes;
    return true;
  }
  [[nodiscard]] std::string LineEnding() const override { return "\r\n"; }
  [[nodiscard]] std::optional<std::string> ScreenRow(int row) const override {
    if (row < 1 || row > static_cast<int>(Rows.size())) {
      return std::nullopt;
    }
    return Rows[static_cast<std::size_t>(row - 1)];
  }
  [[nodiscard]] std::optional<ScreenPlace> FindOnScreen(std::string_view text) const override {
    for (std::size_t row = 0; row < Rows.size(); ++row) {
      if (const auto at = Rows[row].find(text); at != std::string::npos) {
        return ScreenPlace{static_cast<int>(row) + 1, static_cast<int>(at) + 1};
      }
    }
    return std::nullopt;
  }
  [[nodiscard]] std::optional<long long> ColourAt(ScreenPlace place) const override {
    return place.Row == 1 ? std::optional<long long>(0x00FF00) : std::nullopt;
  }
  std::string Press(std::string_view caption) override {
    Pressed.emplace_back(caption);
    return caption == "Start" ? "" : "no soft button reads \"" + std::string(caption) + "\"";
  }
  std::string Press(int number) override { return Press("#" + std::to_string(number)); }
  std::string Enter(std::string_view value) override {
    Entered = value;
    return "";
  }
  std::string SetLine(const LineRequest& request) override {
    Line = request;
    return request.Baud && *request.Baud > 4000000 ? "the port refused 9999999 baud" : "";
  }
  std::string SendBreak(double seconds) override {
    BreakSeconds = seconds;
    return "";
  }
  void Output(std::string_view text) override { Out.emplace_back(text); }

  std::vector<std::string> Rows = {"Temp 21.5 C", "Ready"};
  std::string Sent;
  std::vector<std::string> Pressed;
  std::string Entered;
  LineRequest Line;
  double BreakSeconds = 0;
  std::vector<std::string> Out;
};

// Bytes from the board after a pause of the script's clock.
struct Arrival {
  std::chrono::milliseconds After;
  std::string Bytes;
};

// Runs the script to its end: a waiting script gets the next arrival, or its time passes.
RunStep RunThrough(Runner& runner, std::string_view text, const std::vector<Arrival>& arrivals = {}) {
  RunStep step = runner.Load(text, "check.lua");
  ScriptClock::time_point now{};
  std::size_t next = 0;
  for (int turn = 0; turn < 10000 && step.State != RunState::Finished && step.State != RunState::Failed;
       ++turn) {
    step = runner.Resume(now);
    if (step.State != RunState::Waiting) {
      continue;
    }
    if (next < arrivals.size() && now + arrivals[next].After < step.WakeAt) {
      now += arrivals[next].After;
      runner.Received(arrivals[next++].Bytes);
    } else {
      now = step.WakeAt;
    }
  }
  return step;
}

struct Case {
  const char* Name;
  const char* Script;
  std::vector<Arrival> Arrivals;
  RunState State;
  int ExitCode;
  const char* ErrorStarts;  // "" for none
  std::vector<std::string> Out;
};

TEST(ScriptRunnerTest, ScriptsEndAsTheyShould) {
  const std::vector<Case> cases = {
      {"a greeting expected and answered",
       "expect('ready>') sendline('go') log(received())",
       {{50ms, "boot\r\nrea"}, {50ms, "dy> rest"}},
       RunState::Finished,
       0,
       "",
       {" rest"}},
      {"the match, then its captures",
       "log(expect('V=(%d+),(%a+)'))",
       {{1s, "xx V=42,ok\n"}},
       RunState::Finished,
       0,
       "",
       {"V=42,ok\t42\tok"}},
      {"a time-out gives nil, and exit() its code",
       "if not expect('never', 2) then exit(3) end",
       {{1s, "something else"}},
       RunState::Finished,
       3,
       "",
       {}},
      {"the default time-out is ten seconds",
       "local t = expect('x') log(tostring(t))",
       {{9s, "y"}},
       RunState::Finished,
       0,
       "",
       {"nil"}},
      {"text before a match is passed, after it kept",
       "expect('a') expect('a') log(received())",
       {{1s, "1a2a3"}},
       RunState::Finished,
       0,
       "",
       {"3"}},
      {"clear() forgets what came",
       "clear() log(expect('b', 1))",
       {{1ms, "b"}},
       RunState::Finished,
       0,
       "",
       {"b"}},
      {"sleep waits its time", "sleep(1.5) log('woke')", {}, RunState::Finished, 0, "", {"woke"}},
      {"a syntax error names its line", "log('a')\nif then", {}, RunState::Failed, 1, "check.lua:2:", {}},
      {"an error names the script's line",
       "\n\nerror('bad board')",
       {},
       RunState::Failed,
       1,
       "check.lua:3: bad board",
       {}},
      {"a bad pattern names the line of expect",
       "\nexpect('%')",
       {{1ms, "x"}},
       RunState::Failed,
       1,
       "check.lua:2:",
       {}},
      {"a refused press names its line",
       "press('Start')\npress('Stop')",
       {},
       RunState::Failed,
       1,
       "check.lua:2: no soft button reads \"Stop\"",
       {}},
      {"a refused speed is said",
       "line{baud=9999999}",
       {},
       RunState::Failed,
       1,
       "check.lua:1: the port refused 9999999 baud",
       {}},
      {"exit() inside pcall still exits",
       "pcall(exit, 4) log('not here')",
       {},
       RunState::Finished,
       4,
       "",
       {}},
      {"os.exit ends the script, not the program", "os.exit(false)", {}, RunState::Finished, 1, "", {}},
      {"an exit code out of range is a failure", "exit(256)", {}, RunState::Finished, 1, "", {}},
      {"no processes unless allowed",
       "log(tostring(os.execute), tostring(io.popen))",
       {},
       RunState::Finished,
       0,
       "",
       {"nil\tnil"}},
      {"no compiled chunks",
       "log(tostring(load(string.dump(function() end))))",
       {},
       RunState::Finished,
       0,
       "",
       {"nil"}},
      {"no waiting inside a coroutine of its own",
       "coroutine.wrap(function() sleep(1) end)()",
       {},
       RunState::Failed,
       1,
       "check.lua:1:",
       {}},
      {"an error object that is no text",
       "error({})",
       {},
       RunState::Failed,
       1,
       "check.lua:1: an error with",
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    FakeHost host;
    Runner runner(host);
    const RunStep step = RunThrough(runner, c.Script, c.Arrivals);
    EXPECT_EQ(step.State, c.State) << step.Error;
    EXPECT_EQ(step.ExitCode, c.ExitCode);
    EXPECT_TRUE(step.Error.starts_with(c.ErrorStarts)) << step.Error;
    EXPECT_EQ(host.Out, c.Out);
  }
}

TEST(ScriptRunnerTest, TheApiReachesTheSession) {
  FakeHost host;
  Runner runner(host);
  const RunStep step = RunThrough(runner, R"lua(
    send('\1S\3') sendline('hi')
    log(screen.text(2), tostring(screen.text(3)), screen.find('21.5'))
    log(screen.colour(1, 1), tostring(screen.colour(2, 1)))
    press('Start') enter(12.5)
    line{baud=57600, format='8N2', dtr=false}
    brk(0.5)
  )lua");
  ASSERT_EQ(step.State, RunState::Finished) << step.Error;
  EXPECT_EQ(host.Sent, std::string("\1S\3hi\r\n"));
  EXPECT_EQ(host.Out, (std::vector<std::string>{"Ready\tnil\t1\t6", "65280\tnil"}));
  EXPECT_EQ(host.Pressed, std::vector<std::string>{"Start"});
  EXPECT_EQ(host.Entered, "12.5");
  EXPECT_EQ(host.Line.Baud, 57600);
  EXPECT_EQ(host.Line.Format, "8N2");
  EXPECT_EQ(host.Line.Dtr, false);
  EXPECT_FALSE(host.Line.Rts.has_value());
  EXPECT_EQ(host.BreakSeconds, 0.5);
}

// An endless loop hands control back after its slice, and Stop ends it there.
TEST(ScriptRunnerTest, AnEndlessLoopIsCutIntoSlicesAndStopped) {
  FakeHost host;
  Runner runner(host, {.Slice = 5ms});
  runner.Load("while true do end", "loop.lua");
  EXPECT_EQ(runner.Resume({}).State, RunState::Running);
  EXPECT_EQ(runner.Resume({}).State, RunState::Running);
  runner.Stop();
  const RunStep step = runner.Resume({});
  EXPECT_EQ(step.State, RunState::Failed);
  EXPECT_EQ(step.Error, "loop.lua: stopped");
}

TEST(ScriptRunnerTest, MemoryIsCappedAndSaid) {
  FakeHost host;
  Runner runner(host, {.MemoryLimit = 4U * 1024 * 1024});
  const RunStep step =
      RunThrough(runner, "local t = {} while true do t[#t + 1] = string.rep('x', 65536) .. #t end");
  EXPECT_EQ(step.State, RunState::Failed);
  EXPECT_NE(step.Error.find("more than its 4 MB of memory"), std::string::npos) << step.Error;
}

TEST(ScriptRunnerTest, ProcessesWhenAllowed) {
  FakeHost host;
  Runner runner(host, {.AllowProcesses = true});
  const RunStep step = RunThrough(runner, "log(type(os.execute), type(io.popen))");
  EXPECT_EQ(step.State, RunState::Finished) << step.Error;
  EXPECT_EQ(host.Out, std::vector<std::string>{"function\tfunction"});
}

}  // namespace
}  // namespace korvani::script
