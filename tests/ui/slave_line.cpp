// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/slave_line.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace korvani::testing {

SlaveLine ReadSlaveLine(int fd) {
  struct termios2 settings {};
  if (ioctl(fd, TCGETS2, &settings) != 0) {
    return {};
  }
  SlaveLine line;
  line.Baud = static_cast<std::int32_t>(settings.c_ospeed);
  line.TwoStopBits = (settings.c_cflag & CSTOPB) != 0;
  line.RtsCts = (settings.c_cflag & CRTSCTS) != 0;
  line.XonXoff = (settings.c_iflag & IXON) != 0 && (settings.c_iflag & IXOFF) != 0;
  switch (settings.c_cflag & CSIZE) {
    case CS5:
      line.DataBits = 5;
      break;
    case CS6:
      line.DataBits = 6;
      break;
    case CS7:
      line.DataBits = 7;
      break;
    default:
      line.DataBits = 8;
      break;
  }
  return line;
}

}  // namespace korvani::testing
