// A message as the board sends it: SOH, the command character, the arguments separated by
// STX, ETX. Used by the built-in demo board, the tests and the benchmarks.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace korvani::hmi::link {

inline std::string BoardMessage(char command, std::initializer_list<std::string_view> arguments = {}) {
  std::string message{'\x01', command};
  bool first = true;
  for (const std::string_view argument : arguments) {
    if (!first) {
      message += '\x02';
    }
    message += argument;
    first = false;
  }
  message += '\x03';
  return message;
}

}  // namespace korvani::hmi::link
