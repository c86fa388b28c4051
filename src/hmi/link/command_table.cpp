// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/link/command_table.h"

namespace korvani::hmi::link {

namespace {
std::size_t Slot(char command) {
  return static_cast<unsigned char>(command);
}
}  // namespace

CommandTable::CommandTable() {
  for (const CommandInfo& info : kCommands) {
    Entries[Slot(info.Command)].Info = &info;
  }
}

bool CommandTable::Bind(char command, CommandHandler handler) {
  Entry& entry = Entries[Slot(command)];
  if (entry.Info == nullptr) {
    return false;
  }
  entry.Handler = std::move(handler);
  return true;
}

const CommandTable::Entry* CommandTable::Find(char command) const {
  const Entry& entry = Entries[Slot(command)];
  return entry.Info != nullptr && entry.Handler ? &entry : nullptr;
}

void CommandTable::Run(char command, const Arguments& args) const {
  if (const Entry* entry = Find(command); entry != nullptr) {
    entry->Handler(args);
  }
}

}  // namespace korvani::hmi::link
