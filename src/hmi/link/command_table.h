// SPDX-License-Identifier: GPL-3.0-or-later
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
  bool LeaveIntro;  // the first such command after start-up wipes the intro screen
  bool Redrawn;     // the screen keeps it, and runs it again when it draws its picture anew
};

// Every command the board may send. "I", "J", "M", "N", "P" and all others are ignored.
// Those that draw, or change what later drawing looks like, are kept for redraw.
inline constexpr std::array<CommandInfo, 26> kCommands = {{
    {'!', true, false},  {'@', true, true},   {'A', false, false}, {'B', false, false}, {'C', false, false},
    {'D', false, false}, {'E', true, true},   {'F', true, true},   {'G', true, true},   {'H', true, true},
    {'K', true, true},   {'L', true, true},   {'O', true, false},  {'Q', true, true},   {'R', true, false},
    {'S', true, false},  {'T', true, false},  {'U', true, false},  {'V', true, false},  {'W', true, true},
    {'X', true, false},  {'Y', false, false}, {'Z', false, false}, {'p', false, false}, {'q', false, false},
    {'r', false, false},
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
  // Runs the command's handler, if it has one (the framer's other steps are not taken).
  void Run(char command, const Arguments& args) const;

 private:
  std::array<Entry, 256> Entries;
};

}  // namespace korvani::hmi::link
