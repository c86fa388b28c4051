// SPDX-License-Identifier: GPL-3.0-or-later
// The PC's local date and time.
#pragma once

#include <cstdint>

namespace korvani::base {

struct LocalTime {
  int Year = 2000;  // four digits
  int Month = 1;    // 1 to 12
  int Day = 1;
  int Hour = 0;  // 0 to 23
  int Minute = 0;
  int Second = 0;
  int Weekday = 0;  // 0 = Sunday ... 6 = Saturday
  int Millisecond = 0;
};

// Milliseconds since midnight, for time stamps.
inline int MsOfDay(const LocalTime& time) {
  return ((time.Hour * 60 + time.Minute) * 60 + time.Second) * 1000 + time.Millisecond;
}

class Clock {
 public:
  virtual ~Clock() = default;
  [[nodiscard]] virtual LocalTime Now() const = 0;
};

// A steady clock for intervals: microseconds since some fixed point.
std::int64_t SteadyMicroseconds();

// The system's clock in the local time zone.
class SystemClock final : public Clock {
 public:
  [[nodiscard]] LocalTime Now() const override;
};

}  // namespace korvani::base
