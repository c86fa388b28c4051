// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/line_speed.h"

#if defined(_WIN32)
#include <windows.h>
#elif defined(__linux__)
// The kernel's own termios2, which carries any speed (not the C library's termios).
#include <asm/termbits.h>
#include <sys/ioctl.h>
#endif

namespace korvani::platform {

std::optional<std::int32_t> AppliedBaud(std::intptr_t handle) {
#if defined(_WIN32)
  DCB control{};
  control.DCBlength = sizeof control;
  if (GetCommState(reinterpret_cast<HANDLE>(handle), &control) == 0) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(control.BaudRate);
#elif defined(__linux__)
  struct termios2 settings {};
  if (ioctl(static_cast<int>(handle), TCGETS2, &settings) != 0) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(settings.c_ospeed);
#else
  (void)handle;
  return std::nullopt;
#endif
}

}  // namespace korvani::platform
