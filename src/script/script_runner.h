// SPDX-License-Identifier: GPL-3.0-or-later
// One running Lua script on a session. The script runs as a coroutine on the caller's thread:
// expect() and sleep() hand control back until their bytes or their time come, and a long
// stretch of Lua without either is cut into slices, so the window never freezes and Stop is
// taken between two slices. Each runner has its own interpreter, with a memory cap.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "script/script_host.h"

struct lua_State;

namespace korvani::script {

using ScriptClock = std::chrono::steady_clock;

struct RunnerOptions {
  bool AllowProcesses = false;                      // os.execute and io.popen
  std::size_t MemoryLimit = std::size_t{64} << 20;  // bytes the interpreter may hold
  std::chrono::milliseconds Slice{20};              // Lua run before the window's turn
  // Lua that cannot hand control back (inside a coroutine of its own or a callback such as
  // table.sort's) is ended after this much over its slice, so the window is not lost to it.
  std::chrono::milliseconds Unpaused{10000};
  std::size_t ReceivedLimit = std::size_t{1} << 20;  // unmatched text kept for expect(), at least
};

enum class RunState {
  Running,   // Resume() again at once (a slice ended)
  Waiting,   // Resume() at WakeAt, or sooner when bytes arrive
  Finished,  // ExitCode holds the result
  Failed,    // Error holds "FILE:LINE: message"; the exit code is 1
};

struct RunStep {
  RunState State = RunState::Running;
  ScriptClock::time_point WakeAt;
  int ExitCode = 0;
  std::string Error;
};

class Runner {
 public:
  Runner(ScriptHost& host, RunnerOptions options = {});
  Runner(const Runner&) = delete;
  Runner& operator=(const Runner&) = delete;
  ~Runner();

  // Compiles the script; `name` is how errors name it. A syntax error fails the run at once.
  RunStep Load(std::string_view text, const std::string& name);
  // Runs the script on until it waits, its slice ends, or it ends.
  RunStep Resume(ScriptClock::time_point now);
  // Bytes from the board, for expect() and received().
  void Received(std::string_view bytes);
  // Ends the run where it stands; the next Resume() reports it as failed with "stopped".
  void Stop();
  [[nodiscard]] const RunStep& Last() const { return Step; }

 private:
  friend struct RunnerAccess;
  RunStep Finish(RunState state, int exitCode, std::string error);
  std::string Located(std::string message) const;

  ScriptHost& Host;
  RunnerOptions Options;
  std::string Name;
  std::size_t InUse = 0;
  bool OverLimit = false;
  bool StopAsked = false;
  bool ExitAsked = false;
  int ExitCode = 0;
  ScriptClock::time_point SliceEnds;
  ScriptClock::time_point Now;
  ScriptClock::time_point WaitUntil;
  bool Waits = false;
  bool Arrived = false;  // bytes since the last Resume()
  std::string Pending;   // received since the last match
  lua_State* State = nullptr;
  lua_State* Thread = nullptr;  // the script's coroutine
  RunStep Step;
};

}  // namespace korvani::script
