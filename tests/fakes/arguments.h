// SPDX-License-Identifier: GPL-3.0-or-later
// A board message's arguments from a list, for the tests of command handlers.
#pragma once

#include <string>
#include <vector>

#include "hmi/link/arguments.h"

namespace korvani::fakes {

inline hmi::link::Arguments Args(const std::vector<std::string>& values) {
  hmi::link::Arguments args;
  for (std::size_t i = 0; i < values.size() && i < args.size(); ++i) {
    args[i] = values[i];
  }
  return args;
}

}  // namespace korvani::fakes
