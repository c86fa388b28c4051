// SPDX-License-Identifier: GPL-3.0-or-later
// The board's screen commands bound to the screen, in one place: the board's messages run
// them, the screen's redraw at another size runs what it kept through the same bindings, and
// what the panel draws itself (the intro's typing, the ruler button) takes the same road.
#pragma once

#include "hmi/link/command_table.h"
#include "hmi/screen/screen.h"

namespace korvani::hmi::screen {

// Binds "@", "E", "F", "K", "L", "G", "H", "W", "Q", "R", "S" and "V" to the screen, and the
// screen's redraw to the table.
void BindScreenCommands(link::CommandTable& table, Screen& screen);

// Runs a command as a board's message does: kept for redraw where the table says so.
void DrawCommand(const link::CommandTable& table, Screen& screen, char command, const link::Arguments& args);

}  // namespace korvani::hmi::screen
