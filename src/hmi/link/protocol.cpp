// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/link/protocol.h"

#include <cstdio>

namespace korvani::hmi::link {

std::string BoardMessage(char command, std::initializer_list<std::string_view> arguments) {
  std::string message{kSoh, command};
  bool first = true;
  for (const std::string_view argument : arguments) {
    if (!first) {
      message += kStx;
    }
    message += argument;
    first = false;
  }
  message += kEtx;
  return message;
}

std::string ConnectMessage() {
  return {kAck, kEot};
}

std::string ClockMessage(const base::LocalTime& time) {
  // The board counts its weekdays from Monday; the PC's clock counts from Sunday.
  const int weekday = (time.Weekday + 6) % 7;
  char digits[80];
  std::snprintf(digits, sizeof digits, "%02d%02d%02d%02d%02d%02d%d", time.Year % 100, time.Month, time.Day,
                time.Hour, time.Minute, time.Second, weekday);
  return std::string{kBel, kEnq} + digits + kEot;
}

std::string TextMessage(std::string_view text) {
  std::string message(text);
  message += kEot;
  return message;
}

std::string EntryAnswer(std::string_view replyTag, std::string_view value) {
  std::string answer(replyTag);
  answer += kEnq;
  answer += value;
  answer += kEot;
  return answer;
}

}  // namespace korvani::hmi::link
