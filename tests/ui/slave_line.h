// SPDX-License-Identifier: GPL-3.0-or-later
// What the kernel holds for a tty's line, read from the test's own descriptor of it: the
// exact speed (from the kernel's termios2, which carries any speed) and the control flags.
#pragma once

#include <cstdint>

namespace korvani::testing {

struct SlaveLine {
  std::int32_t Baud = 0;
  bool TwoStopBits = false;
  bool RtsCts = false;
  bool XonXoff = false;
  int DataBits = 0;
};

// Empty (Baud 0) when the descriptor is no tty.
SlaveLine ReadSlaveLine(int fd);

}  // namespace korvani::testing
