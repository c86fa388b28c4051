// The panel's own messages to the board: its connect code and the PC clock.
#pragma once

#include <string>

#include "base/clock.h"

namespace korvani::hmi::link {

inline constexpr char kAck = '\x06';
inline constexpr char kBel = '\x07';

// ACK then EOT.
std::string ConnectMessage(const std::string& eotText);
// BEL, ENQ, "YYMMDDHHmmss", the weekday (0 = Monday ... 6 = Sunday), EOT.
std::string ClockMessage(const base::LocalTime& time, const std::string& enqText, const std::string& eotText);

}  // namespace korvani::hmi::link
