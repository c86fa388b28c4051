// SPDX-License-Identifier: GPL-3.0-or-later
// A script running on a session: the session is its host (port, screen, soft buttons, number
// prompt, line), its bytes come from the receive path as the views get them, and a timer
// turns it (at once after a slice, at its wake-up time, or when bytes arrive). The same in a
// window and headless; the window or the command line shows the output and the end.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "app/session.h"
#include "base/timer.h"
#include "script/script_host.h"
#include "script/script_runner.h"

namespace korvani::scripting {

struct ScriptHooks {
  std::function<void(std::string_view line)> Output;      // log() and print()
  std::function<void(const script::RunStep& end)> Ended;  // finished, failed or stopped
};

class SessionScript final : public script::ScriptHost {
 public:
  // `microseconds` is the steady clock the session's platform has.
  SessionScript(app::Session& session, std::unique_ptr<base::Timer> timer,
                std::function<std::int64_t()> microseconds, ScriptHooks hooks);
  SessionScript(const SessionScript&) = delete;
  SessionScript& operator=(const SessionScript&) = delete;
  ~SessionScript() override;

  // Runs the script's text (`name` for its errors) from its start; a script that runs is
  // stopped first. The end is told to Ended, a syntax error at once.
  void Start(std::string_view text, const std::string& name, script::RunnerOptions options = {});
  // Where the output and the end go from now on (the window's Script tab, once built).
  void SetHooks(ScriptHooks hooks) { Hooks = std::move(hooks); }
  void Stop();
  [[nodiscard]] bool Running() const { return Run != nullptr; }

  bool Send(std::string_view bytes) override;
  [[nodiscard]] std::string LineEnding() const override;
  [[nodiscard]] std::optional<std::string> ScreenRow(int row) const override;
  [[nodiscard]] std::optional<script::ScreenPlace> FindOnScreen(std::string_view text) const override;
  [[nodiscard]] std::optional<long long> ColourAt(script::ScreenPlace place) const override;
  std::string Press(std::string_view caption) override;
  std::string Press(int number) override;
  std::string Enter(std::string_view value) override;
  std::string SetLine(const script::LineRequest& request) override;
  std::string SendBreak(double seconds) override;
  void Output(std::string_view text) override;

 private:
  void Turn();
  void Settle(const script::RunStep& step);
  [[nodiscard]] std::optional<int> ButtonReading(std::string_view text) const;
  [[nodiscard]] script::ScriptClock::time_point Now() const;

  app::Session& Board;
  std::unique_ptr<base::Timer> Turns;
  std::function<std::int64_t()> Microseconds;
  ScriptHooks Hooks;
  std::unique_ptr<script::Runner> Run;
  int Watching = 0;
};

}  // namespace korvani::scripting
