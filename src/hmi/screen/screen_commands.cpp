// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/screen/screen_commands.h"

namespace korvani::hmi::screen {

using link::Arguments;

void BindScreenCommands(link::CommandTable& table, Screen& screen) {
  table.Bind('@', [&screen](const Arguments& a) { screen.PrintAtCursor(a[0]); });
  table.Bind('E', [&screen](const Arguments& a) { screen.CursorMove(a[0], a[1]); });
  table.Bind('F', [&screen](const Arguments& a) { screen.CursorTo(a[0], a[1]); });
  table.Bind('K', [&screen](const Arguments& a) { screen.SetForeColour(a[0], a[1], a[2]); });
  table.Bind('L', [&screen](const Arguments& a) { screen.SetBackColour(a[0], a[1], a[2]); });
  table.Bind('R', [&screen](const Arguments&) { screen.ClearScreen(); });
  table.Bind('S', [&screen](const Arguments&) { screen.ScreenReset(); });
  table.Bind('V', [&screen](const Arguments& a) { screen.SetColumns(a[0], a[1]); });
  table.Bind('G', [&screen](const Arguments&) { screen.PushColours(); });
  table.Bind('H', [&screen](const Arguments&) { screen.PopColours(); });
  table.Bind('W', [&screen](const Arguments&) { screen.DrawRulers(); });
  table.Bind('Q', [&screen](const Arguments& a) { screen.DrawBar(a); });
  screen.SetRedraw([&table](char command, const Arguments& a) { table.Run(command, a); });
}

void DrawCommand(const link::CommandTable& table, Screen& screen, char command, const Arguments& args) {
  const link::CommandTable::Entry* entry = table.Find(command);
  if (entry == nullptr) {
    return;
  }
  if (entry->Info->Redrawn) {
    screen.KeepForRedraw(command, args);
  }
  entry->Handler(args);
}

}  // namespace korvani::hmi::screen
