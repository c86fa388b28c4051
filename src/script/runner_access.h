// SPDX-License-Identifier: GPL-3.0-or-later
// Inside the script runner: what its Lua functions reach of the runner they run in. Only the
// runner and its API include this.
#pragma once

#include <string>

#include "script/script_runner.h"

namespace korvani::script {

struct RunnerAccess {
  // The runner of an interpreter (its allocator's data).
  static Runner& Of(lua_State* lua);
  // The same, for a function of the API: after exit() or Stop, even an exit() a pcall caught,
  // the script does nothing more.
  static Runner& Live(lua_State* lua);
  // Unwinds the script with the marker no script can make.
  static int Unwind(lua_State* lua);

  static ScriptHost& Host(Runner& runner) { return runner.Host; }
  static std::string& Pending(Runner& runner) { return runner.Pending; }
  static ScriptClock::time_point Now(const Runner& runner) { return runner.Now; }
  static bool IsScript(const Runner& runner, lua_State* lua) { return lua == runner.Thread; }
  static void WaitUntil(Runner& runner, ScriptClock::time_point at) {
    runner.WaitUntil = at;
    runner.Waits = true;
  }
  static void AskExit(Runner& runner, int code) {
    runner.ExitCode = code;
    runner.ExitAsked = true;
  }

  // The rest is the runner's own: its allocator with the memory cap, and its hook.
  static void* Allocate(void* self, void* block, std::size_t oldSize, std::size_t newSize);
  static void Hook(lua_State* lua, lua_Debug* debug);
};

// The script's API (send, expect, screen, press, line, exit and the rest) and the prelude
// written in Lua, into a fresh interpreter with its standard libraries open.
void OpenApi(lua_State* lua, bool allowProcesses);

}  // namespace korvani::script
