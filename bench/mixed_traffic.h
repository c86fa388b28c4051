// SPDX-License-Identifier: GPL-3.0-or-later
// The benchmarks' fixed workload: text lines with about 1% control bytes and, every ten lines,
// HMI messages that place the cursor on one of the screen's first 20 rows and print there, so
// the panel's screen keeps changing where it can be seen. The same for every run.
#pragma once

#include <random>
#include <string>

namespace korvani::bench {

inline std::string MixedTraffic(std::size_t size) {
  std::mt19937 random(42);
  std::uniform_int_distribution<int> printable(32, 126);
  std::uniform_int_distribution<int> percent(0, 99);
  std::uniform_int_distribution<int> control(4, 31);  // never SOH, STX or ETX
  std::string traffic;
  int line = 0;
  while (traffic.size() < size) {
    for (int i = 0; i < 60; ++i) {
      traffic.push_back(static_cast<char>(percent(random) == 0 ? control(random) : printable(random)));
    }
    traffic += "\r\n";
    if (++line % 10 == 0) {
      traffic +=
          "\x01"
          "F0\x02" +
          std::to_string(line / 10 % 20) + "\x03";
      traffic += "\x01@value " + std::to_string(line) +
                 "\x02"
                 "x\x03";
    }
  }
  traffic.resize(size);
  return traffic;
}

}  // namespace korvani::bench
