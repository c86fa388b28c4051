// SPDX-License-Identifier: GPL-3.0-or-later
#include "script/script_runner.h"

#include <lua.hpp>

#include <cstdlib>
#include <string>

#include "script/runner_access.h"

namespace korvani::script {

namespace {
int Marker = 0;  // what exit() and Stop raise to unwind the script; no script can make one
}  // namespace

Runner& RunnerAccess::Of(lua_State* lua) {
  void* self = nullptr;
  lua_getallocf(lua, &self);
  return *static_cast<Runner*>(self);
}

Runner& RunnerAccess::Live(lua_State* lua) {
  Runner& runner = Of(lua);
  if (runner.StopAsked || runner.ExitAsked) {
    Unwind(lua);
  }
  return runner;
}

int RunnerAccess::Unwind(lua_State* lua) {
  lua_pushlightuserdata(lua, &Marker);
  return lua_error(lua);
}

void* RunnerAccess::Allocate(void* self, void* block, std::size_t oldSize, std::size_t newSize) {
  Runner& runner = *static_cast<Runner*>(self);
  const std::size_t held = block != nullptr ? oldSize : 0;  // else the size is a type
  if (newSize == 0) {
    std::free(block);  // NOLINT(cppcoreguidelines-no-malloc): Lua's allocator contract
    runner.InUse -= held;
    return nullptr;
  }
  if (newSize > held && runner.InUse - held + newSize > runner.Options.MemoryLimit) {
    runner.OverLimit = true;
    return nullptr;
  }
  void* grown = std::realloc(block, newSize);  // NOLINT(cppcoreguidelines-no-malloc)
  if (grown != nullptr) {
    runner.InUse = runner.InUse - held + newSize;
  }
  return grown;
}

// Every thousand instructions: an exit() a pcall caught is raised again, and a slice that
// has run its time hands control back.
void RunnerAccess::Hook(lua_State* lua, lua_Debug* /*debug*/) {
  Runner& runner = Of(lua);
  if (runner.StopAsked || runner.ExitAsked) {
    Unwind(lua);
  }
  const auto now = ScriptClock::now();
  if (now < runner.SliceEnds) {
    return;
  }
  if (lua == runner.Thread && lua_isyieldable(lua) != 0) {
    lua_yield(lua, 0);  // the window's turn; Resume() goes on from here
    return;
  }
  if (now - runner.SliceEnds > runner.Options.Unpaused) {
    luaL_error(lua, "ran too long where it cannot be paused (inside a coroutine or a callback)");
  }
}

Runner::Runner(ScriptHost& host, RunnerOptions options) : Host(host), Options(options) {
  State = lua_newstate(&RunnerAccess::Allocate, this);
  if (State == nullptr) {
    Step = {RunState::Failed, {}, 1, "no memory for the script's interpreter"};
    return;
  }
  lua_atpanic(State, [](lua_State*) -> int { std::abort(); });
  OpenApi(State, Options.AllowProcesses);
  Thread = lua_newthread(State);
  luaL_ref(State, LUA_REGISTRYINDEX);  // kept from the collector while the runner lives
  lua_sethook(Thread, &RunnerAccess::Hook, LUA_MASKCOUNT, 1000);
}

Runner::~Runner() {
  if (State != nullptr) {
    lua_close(State);
  }
}

RunStep Runner::Load(std::string_view text, const std::string& name) {
  Name = name;
  if (Thread == nullptr) {
    return Step;
  }
  const std::string chunk = "@" + name;
  if (luaL_loadbufferx(Thread, text.data(), text.size(), chunk.c_str(), "t") != LUA_OK) {
    std::string message = lua_tostring(Thread, -1) != nullptr ? lua_tostring(Thread, -1) : "cannot load";
    lua_pop(Thread, 1);
    return Finish(RunState::Failed, 1, OverLimit ? name + ": the script used more than its memory" : message);
  }
  Step = {RunState::Running, {}, 0, {}};
  return Step;
}

RunStep Runner::Resume(ScriptClock::time_point now) {
  if (Step.State == RunState::Finished || Step.State == RunState::Failed) {
    return Step;
  }
  Now = now;
  if (Step.State == RunState::Waiting && now < Step.WakeAt && !Arrived) {
    return Step;  // nothing new to look at yet
  }
  Arrived = false;
  SliceEnds = ScriptClock::now() + Options.Slice;
  Waits = false;
  int results = 0;
  const int status = lua_resume(Thread, nullptr, 0, &results);
  if (status == LUA_YIELD) {
    lua_pop(Thread, results);
    Step = Waits ? RunStep{RunState::Waiting, WaitUntil, 0, {}} : RunStep{RunState::Running, {}, 0, {}};
    return Step;
  }
  if (ExitAsked) {
    return Finish(RunState::Finished, ExitCode, {});
  }
  if (status == LUA_OK) {
    return Finish(RunState::Finished, 0, {});
  }
  std::string message;
  if (OverLimit && status == LUA_ERRMEM) {
    message = "the script used more than its " +
              std::to_string(Options.MemoryLimit / (std::size_t{1} << 20)) + " MB of memory";
  } else if (const char* text = lua_tostring(Thread, -1)) {
    message = text;
  } else {
    message = std::string("an error with a ") + luaL_typename(Thread, -1) + " value";
  }
  return Finish(RunState::Failed, 1, Located(message));
}

void Runner::Received(std::string_view bytes) {
  Pending.append(bytes);
  Arrived = Arrived || !bytes.empty();
  // The oldest text goes first, once twice the limit is held: a flood moves the text once
  // per limit's worth of chunks, not at every chunk.
  if (Pending.size() > 2 * Options.ReceivedLimit) {
    Pending.erase(0, Pending.size() - Options.ReceivedLimit);
  }
}

void Runner::Stop() {
  StopAsked = true;
  if (Step.State != RunState::Finished && Step.State != RunState::Failed) {
    Finish(RunState::Failed, 1, Name + ": stopped");
  }
}

RunStep Runner::Finish(RunState state, int exitCode, std::string error) {
  Step = {state, {}, exitCode, std::move(error)};
  return Step;
}

// A message without the script's place gets the line the script was on.
std::string Runner::Located(std::string message) const {
  if (message.starts_with(Name + ":")) {
    return message;
  }
  const std::string chunk = "@" + Name;
  lua_Debug frame{};
  for (int level = 0; lua_getstack(Thread, level, &frame) != 0; ++level) {
    if (lua_getinfo(Thread, "Sl", &frame) != 0 && frame.source != nullptr && chunk == frame.source &&
        frame.currentline > 0) {
      return Name + ":" + std::to_string(frame.currentline) + ": " + message;
    }
  }
  return Name + ": " + message;
}

}  // namespace korvani::script
