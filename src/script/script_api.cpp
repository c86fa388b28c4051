// SPDX-License-Identifier: GPL-3.0-or-later
// The functions a script calls, each over the session's host, and expect() and sleep() in Lua.
// Lua reports its errors by a long jump (Debian's Lua is built as C), which skips C++
// destructors: every function here leaves its C++ objects' scope before it raises.
#include <lua.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "script/runner_access.h"

namespace korvani::script {
namespace {

Runner& Live(lua_State* lua) {
  return RunnerAccess::Live(lua);
}

// Raises the message on the stack's top, with the script's place in front of it.
int RaiseHere(lua_State* lua) {
  luaL_where(lua, 1);
  lua_insert(lua, -2);
  lua_concat(lua, 2);
  return lua_error(lua);
}

// Pushes the host's refusal; false when there was none.
bool PushRefusal(lua_State* lua, const std::string& why) {
  if (why.empty()) {
    return false;
  }
  lua_pushlstring(lua, why.data(), why.size());
  return true;
}

int Send(lua_State* lua) {
  std::size_t size = 0;
  const char* bytes = luaL_checklstring(lua, 1, &size);
  lua_pushboolean(lua, static_cast<int>(RunnerAccess::Host(Live(lua)).Send(std::string_view(bytes, size))));
  return 1;
}

int SendLine(lua_State* lua) {
  std::size_t size = 0;
  const char* text = luaL_checklstring(lua, 1, &size);
  bool sent = false;
  {
    ScriptHost& host = RunnerAccess::Host(Live(lua));
    sent = host.Send(std::string(text, size) + host.LineEnding());
  }
  lua_pushboolean(lua, static_cast<int>(sent));
  return 1;
}

int Received(lua_State* lua) {
  const std::string& pending = RunnerAccess::Pending(Live(lua));
  lua_pushlstring(lua, pending.data(), pending.size());
  return 1;
}

int Clear(lua_State* lua) {
  RunnerAccess::Pending(Live(lua)).clear();
  return 0;
}

// What expect() matched is taken off what is pending.
int Consume(lua_State* lua) {
  const lua_Integer count = luaL_checkinteger(lua, 1);
  std::string& pending = RunnerAccess::Pending(Live(lua));
  pending.erase(0, static_cast<std::size_t>(
                       std::clamp<lua_Integer>(count, 0, static_cast<lua_Integer>(pending.size()))));
  return 0;
}

double Seconds(ScriptClock::time_point at) {
  return std::chrono::duration<double>(at.time_since_epoch()).count();
}

int Now(lua_State* lua) {
  lua_pushnumber(lua, Seconds(RunnerAccess::Now(Live(lua))));
  return 1;
}

// Hands control back until the time given (in now()'s seconds), or bytes arrive.
int Wait(lua_State* lua) {
  const double until = luaL_checknumber(lua, 1);
  Runner& runner = Live(lua);
  if (!RunnerAccess::IsScript(runner, lua)) {
    return luaL_error(lua, "expect() and sleep() cannot wait inside a coroutine of the script's own");
  }
  // At most a day ahead of now: the clock's count never overflows, whatever was asked.
  const ScriptClock::time_point now = RunnerAccess::Now(runner);
  const double ahead = std::isnan(until) ? 0 : std::clamp(until - Seconds(now), 0.0, 86400.0);
  RunnerAccess::WaitUntil(
      runner, now + std::chrono::duration_cast<ScriptClock::duration>(std::chrono::duration<double>(ahead)));
  return lua_yield(lua, 0);
}

int ClampedInt(lua_State* lua, int argument) {
  return static_cast<int>(std::clamp<lua_Integer>(luaL_checkinteger(lua, argument), -1000000, 1000000));
}

int ScreenText(lua_State* lua) {
  const int row = ClampedInt(lua, 1);
  const std::optional<std::string> text = RunnerAccess::Host(Live(lua)).ScreenRow(row);
  if (text) {
    lua_pushlstring(lua, text->data(), text->size());
  } else {
    lua_pushnil(lua);
  }
  return 1;
}

int ScreenFind(lua_State* lua) {
  std::size_t size = 0;
  const char* text = luaL_checklstring(lua, 1, &size);
  const std::optional<ScreenPlace> place =
      RunnerAccess::Host(Live(lua)).FindOnScreen(std::string_view(text, size));
  if (!place) {
    lua_pushnil(lua);
    return 1;
  }
  lua_pushinteger(lua, place->Row);
  lua_pushinteger(lua, place->Column);
  return 2;
}

int ScreenColour(lua_State* lua) {
  const ScreenPlace place{ClampedInt(lua, 1), ClampedInt(lua, 2)};
  const std::optional<long long> colour = RunnerAccess::Host(Live(lua)).ColourAt(place);
  if (colour) {
    lua_pushinteger(lua, *colour);
  } else {
    lua_pushnil(lua);
  }
  return 1;
}

int Press(lua_State* lua) {
  bool refused = false;
  if (lua_type(lua, 1) == LUA_TNUMBER) {
    const int number = ClampedInt(lua, 1);
    refused = PushRefusal(lua, RunnerAccess::Host(Live(lua)).Press(number));
  } else {
    std::size_t size = 0;
    const char* caption = luaL_checklstring(lua, 1, &size);
    refused = PushRefusal(lua, RunnerAccess::Host(Live(lua)).Press(std::string_view(caption, size)));
  }
  return refused ? RaiseHere(lua) : 0;
}

int Enter(lua_State* lua) {
  std::size_t size = 0;
  const char* value = luaL_tolstring(lua, 1, &size);
  const bool refused = PushRefusal(lua, RunnerAccess::Host(Live(lua)).Enter(std::string_view(value, size)));
  return refused ? RaiseHere(lua) : 0;
}

std::optional<std::string> TextField(lua_State* lua, const char* name) {
  std::optional<std::string> text;
  if (lua_getfield(lua, 1, name) != LUA_TNIL) {
    std::size_t size = 0;
    const char* value = lua_tolstring(lua, -1, &size);
    if (value != nullptr) {
      text.emplace(value, size);
    }
  }
  lua_pop(lua, 1);
  return text;
}

std::optional<bool> FlagField(lua_State* lua, const char* name) {
  std::optional<bool> flag;
  if (lua_getfield(lua, 1, name) != LUA_TNIL) {
    flag = lua_toboolean(lua, -1) != 0;
  }
  lua_pop(lua, 1);
  return flag;
}

int Line(lua_State* lua) {
  luaL_checktype(lua, 1, LUA_TTABLE);
  const bool baudGiven = lua_getfield(lua, 1, "baud") != LUA_TNIL;
  if (baudGiven && lua_isinteger(lua, -1) == 0) {
    return luaL_error(lua, "line{baud=...} takes a whole number");
  }
  const lua_Integer baud = lua_tointeger(lua, -1);
  lua_pop(lua, 1);
  bool refused = false;
  {
    LineRequest request;
    if (baudGiven) {
      request.Baud = baud;
    }
    request.Format = TextField(lua, "format");
    request.Flow = TextField(lua, "flow");
    request.Dtr = FlagField(lua, "dtr");
    request.Rts = FlagField(lua, "rts");
    refused = PushRefusal(lua, RunnerAccess::Host(Live(lua)).SetLine(request));
  }
  return refused ? RaiseHere(lua) : 0;
}

int Break(lua_State* lua) {
  const double seconds = luaL_optnumber(lua, 1, 0.25);
  if (!(seconds > 0 && seconds <= 10)) {
    return luaL_error(lua, "brk() holds a break for more than 0 and at most 10 seconds");
  }
  const bool refused = PushRefusal(lua, RunnerAccess::Host(Live(lua)).SendBreak(seconds));
  return refused ? RaiseHere(lua) : 0;
}

// log(...) and print(...): the values as print shows them, a tab between.
int Log(lua_State* lua) {
  const int count = lua_gettop(lua);
  luaL_Buffer line;
  luaL_buffinit(lua, &line);
  for (int i = 1; i <= count; ++i) {
    if (i > 1) {
      luaL_addchar(&line, '\t');
    }
    luaL_tolstring(lua, i, nullptr);
    luaL_addvalue(&line);
  }
  luaL_pushresult(&line);
  std::size_t size = 0;
  const char* text = lua_tolstring(lua, -1, &size);
  RunnerAccess::Host(Live(lua)).Output(std::string_view(text, size));
  return 0;
}

int Exit(lua_State* lua) {
  int code = 0;
  if (lua_isboolean(lua, 1) != 0) {
    code = lua_toboolean(lua, 1) != 0 ? 0 : 1;
  } else {
    const lua_Integer asked = luaL_optinteger(lua, 1, 0);
    code = asked >= 0 && asked <= 255 ? static_cast<int>(asked) : 1;  // a failure stays one
  }
  RunnerAccess::AskExit(RunnerAccess::Of(lua), code);
  return RunnerAccess::Unwind(lua);
}

// expect() and sleep() in Lua over the runner's few primitives; errors name the caller's line.
constexpr std::string_view kPrelude = R"lua(
local wait, now, consume, pending = ...
local find, sub, pack, unpack, type = string.find, string.sub, table.pack, table.unpack, type
function expect(pattern, seconds)
  if type(pattern) ~= "string" then error("expect() takes a pattern", 2) end
  seconds = seconds or 10
  if type(seconds) ~= "number" then error("expect()'s time-out is a number of seconds", 2) end
  local deadline = now() + seconds
  while true do
    local text = pending()
    local found = pack(pcall(find, text, pattern))
    if not found[1] then error(found[2], 2) end
    if found[2] then
      consume(found[3])
      return sub(text, found[2], found[3]), unpack(found, 4, found.n)
    end
    if now() >= deadline then return nil end
    wait(deadline)
  end
end
function sleep(seconds)
  if type(seconds) ~= "number" then error("sleep() takes a number of seconds", 2) end
  local deadline = now() + seconds
  while now() < deadline do wait(deadline) end
end
local rawload, rawloadfile = load, loadfile
load = function(chunk, name, mode, env) return rawload(chunk, name, "t", env) end
loadfile = function(name, mode, env) return rawloadfile(name, "t", env) end
dofile = function(name) return assert(rawloadfile(name, "t"))() end
)lua";

}  // namespace

void OpenApi(lua_State* lua, bool allowProcesses) {
  luaL_openlibs(lua);
  const luaL_Reg api[] = {{"send", &Send},   {"sendline", &SendLine}, {"received", &Received},
                          {"clear", &Clear}, {"press", &Press},       {"enter", &Enter},
                          {"line", &Line},   {"brk", &Break},         {"log", &Log},
                          {"print", &Log},   {"exit", &Exit},         {nullptr, nullptr}};
  lua_pushglobaltable(lua);
  luaL_setfuncs(lua, api, 0);
  lua_pop(lua, 1);
  const luaL_Reg screen[] = {{"text", &ScreenText},
                             {"find", &ScreenFind},
                             {"colour", &ScreenColour},
                             {"color", &ScreenColour},
                             {nullptr, nullptr}};
  luaL_newlib(lua, screen);
  lua_setglobal(lua, "screen");
  // What would end or escape the program: exit() ends the script instead; the hook stays.
  const auto clear = [lua](const char* library, const char* name) {
    if (lua_getglobal(lua, library) == LUA_TTABLE) {
      lua_pushnil(lua);
      lua_setfield(lua, -2, name);
    }
    lua_pop(lua, 1);
  };
  lua_getglobal(lua, "exit");
  lua_getglobal(lua, "os");
  lua_insert(lua, -2);
  lua_setfield(lua, -2, "exit");
  lua_pop(lua, 1);
  clear("debug", "sethook");
  if (!allowProcesses) {
    clear("os", "execute");
    clear("io", "popen");
    clear("package", "loadlib");
    lua_getglobal(lua, "package");
    lua_pushliteral(lua, "");
    lua_setfield(lua, -2, "cpath");
    lua_pop(lua, 1);
  }
  if (luaL_loadbufferx(lua, kPrelude.data(), kPrelude.size(), "=korvani", "t") != LUA_OK) {
    std::abort();  // the program's own Lua: a fault here is ours
  }
  lua_pushcfunction(lua, &Wait);
  lua_pushcfunction(lua, &Now);
  lua_pushcfunction(lua, &Consume);
  lua_pushcfunction(lua, &Received);
  if (lua_pcall(lua, 4, 0, 0) != LUA_OK) {
    std::abort();
  }
}

}  // namespace korvani::script
