#include "hmi/link/host_messages.h"

#include <cstdio>

namespace korvani::hmi::link {

std::string ConnectMessage(const std::string& eotText) {
  return std::string(1, kAck) + eotText;
}

std::string ClockMessage(const base::LocalTime& time, const std::string& enqText,
                         const std::string& eotText) {
  // The board counts its weekdays from Monday; the PC's clock counts from Sunday.
  const int weekday = (time.Weekday + 6) % 7;
  char digits[80];
  std::snprintf(digits, sizeof digits, "%02d%02d%02d%02d%02d%02d%d", time.Year % 100, time.Month, time.Day,
                time.Hour, time.Minute, time.Second, weekday);
  return std::string(1, kBel) + enqText + digits + eotText;
}

}  // namespace korvani::hmi::link
