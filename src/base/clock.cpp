// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/clock.h"

#include <chrono>
#include <ctime>

namespace korvani::base {

std::int64_t SteadyMicroseconds() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

LocalTime SystemClock::Now() const {
  const auto clock = std::chrono::system_clock::now();
  const std::time_t now = std::chrono::system_clock::to_time_t(clock);
  const auto millisecond =
      std::chrono::duration_cast<std::chrono::milliseconds>(clock.time_since_epoch()).count() % 1000;
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
          local.tm_min,         local.tm_sec,     local.tm_wday, static_cast<int>(millisecond)};
}

}  // namespace korvani::base
