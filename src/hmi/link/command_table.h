// The board's command characters, whether each one ends the intro screen, and the handler
// each subsystem binds to it. Commands without a bound handler are ignored.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "hmi/link/arguments.h"

namespace korvani::hmi::link {

using CommandHandler = std::function<void(const Arguments& args)>;

struct CommandInfo {
  char Command;
  bool LeaveIntro;        // the first such command after start-up wipes the intro screen
  std::string_view Name;  // the operation it runs
};

// Every command the board may send. "I", "J", "M", "N", "P" and all others are ignored.
inline constexpr std::array<CommandInfo, 26> kCommands = {{
    {'!', true, "AddToHMILog"},    {'@', true, "PrintAtCursor"}, {'A', false, "doHMILogWrite"},
    {'B', false, "DoHMILog"},      {'C', false, "HHMMss"},       {'D', false, "yyMMdd"},
    {'E', true, "CursorMove"},     {'F', true, "CursorTo"},      {'G', true, "PushColours"},
    {'H', true, "PopColours"},     {'K', true, "SetForeColour"}, {'L', true, "SetBackColour"},
    {'O', true, "DefineButton"},   {'Q', true, "DrawBarGraph"},  {'R', true, "ClearScreen"},
    {'S', true, "ScreenReset"},    {'T', true, "AskForNumber"},  {'U', true, "RemoveAllButtons"},
    {'V', true, "SetColumns"},     {'W', true, "DrawRulers"},    {'X', true, "ApplyControlMask"},
    {'Y', false, "doHMIFileOpen"}, {'Z', false, "doHMINewFile"}, {'p', false, "SpeakIt"},
    {'q', false, "SpeakIt"},       {'r', false, "SendClock"},
}};

class CommandTable {
 public:
  struct Entry {
    const CommandInfo* Info = nullptr;
    CommandHandler Handler;
  };

  CommandTable();

  // Binds the handler of a command of kCommands; returns false for any other character.
  bool Bind(char command, CommandHandler handler);
  // The entry of a known command with a bound handler, or nullptr.
  [[nodiscard]] const Entry* Find(char command) const;

 private:
  std::array<Entry, 256> Entries;
};

}  // namespace korvani::hmi::link
