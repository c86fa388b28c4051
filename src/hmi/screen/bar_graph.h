// SPDX-License-Identifier: GPL-3.0-or-later
// The board's bar graphs ("Q"): a bar in the background colour, filled in the foreground
// colour to the value's share, drawn into the screen's picture like text.
#pragma once

#include "hmi/link/arguments.h"
#include "hmi/screen/screen.h"

namespace korvani::hmi::screen {

// Arguments: row, column, height, width, value (0 to 1; outside, the nearest end).
void DrawBarGraph(Screen& screen, const link::Arguments& a);

}  // namespace korvani::hmi::screen
