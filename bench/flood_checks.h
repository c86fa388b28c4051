// SPDX-License-Identifier: GPL-3.0-or-later
// What the flood tools share: the workload's size, the pty's own ceiling (cat on it), and
// the check of both terminal logs against what was sent.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <thread>

#include "base/text.h"
#include "mixed_traffic.h"
#include "pty_harness.h"

namespace korvani::bench {

constexpr double kMegabyte = 1024.0 * 1024.0;
constexpr std::size_t kBlockSize = 1 << 20;

// Compares a file with the text that should be in it, piece by piece.
// Takes the time stamps off a stamped ASCII log, in place: "HH:MM:SS.mmm " where a line
// starts (after LF, or after a CR no LF follows). What is not a stamp where one belongs stays,
// so the check that follows counts it.
inline void WithoutStamps(const std::string& path) {
  std::string text;
  {
    std::ifstream file(path, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  constexpr std::string_view kShape = "00:00:00.000 ";
  const auto isStamp = [&text, kShape](std::size_t at) {
    if (at + kShape.size() > text.size()) {
      return false;
    }
    for (std::size_t i = 0; i < kShape.size(); ++i) {
      const char c = text[at + i];
      if (kShape[i] == '0' ? (c < '0' || c > '9') : c != kShape[i]) {
        return false;
      }
    }
    return true;
  };
  std::string plain;
  plain.reserve(text.size());
  bool lineStart = true;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (lineStart && isStamp(i)) {
      i += kShape.size();
      if (i >= text.size()) {
        break;
      }
    }
    const char c = text[i];
    plain += c;
    lineStart = c == '\n' || (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'));
  }
  std::ofstream(path, std::ios::binary | std::ios::trunc) << plain;
}

inline std::int64_t Differences(const std::string& path,
                                const std::function<std::string(std::size_t)>& expected, std::size_t pieces) {
  std::ifstream file(path, std::ios::binary);
  std::int64_t wrong = 0;
  std::string got;
  for (std::size_t i = 0; i < pieces; ++i) {
    const std::string want = expected(i);
    got.resize(want.size());
    file.read(got.data(), static_cast<std::streamsize>(want.size()));
    got.resize(static_cast<std::size_t>(file.gcount()));
    if (got != want) {
      wrong += static_cast<std::int64_t>(std::max(want.size(), got.size()));
    }
  }
  return wrong + (file.peek() == std::ifstream::traits_type::eof() ? 0 : 1);
}

// The hex log read back into bytes: pairs of hex digits between spaces and line ends.
inline std::int64_t HexDifferences(const std::string& path, const std::string& block, std::size_t blocks,
                                   const std::string& tail) {
  std::ifstream file(path, std::ios::binary);
  std::int64_t wrong = 0;
  std::size_t index = 0;
  const std::size_t total = block.size() * blocks + tail.size();
  char buffer[1 << 16];
  int high = -1;
  while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
    for (std::streamsize i = 0; i < file.gcount(); ++i) {
      const int digit = korvani::base::HexDigitValue(buffer[i]);
      if (digit < 0) {
        continue;
      }
      if (high < 0) {
        high = digit;
        continue;
      }
      const char byte = static_cast<char>(high * 16 + digit);
      high = -1;
      const char want = index < block.size() * blocks ? block[index % block.size()]
                        : index < total               ? tail[index - block.size() * blocks]
                                                      : '\0';
      wrong += (index >= total || byte != want) ? 1 : 0;
      ++index;
    }
  }
  return wrong + static_cast<std::int64_t>(total > index ? total - index : 0);
}

// The pty's own ceiling: cat reads the slave into a file while the same workload is sent.
// `cpuPerMegabyte`, when given, gets cat's own CPU seconds per MB: what the machine takes to
// read the pty and write a file, a yardstick for the program's figure.
inline double CatMegabytesPerSecond(PtyPair& pty, const std::string& folder, double megabytes,
                                    double* cpuPerMegabyte = nullptr) {
  std::string traffic = korvani::bench::MixedTraffic(kBlockSize);
  const auto blocks =
      static_cast<std::size_t>(megabytes * kMegabyte / static_cast<double>(traffic.size()) + 0.5);
  const std::string out = folder + "/cat.out";
  const pid_t child = fork();
  if (child == 0) {
    const int input = open(pty.SlavePath.c_str(), O_RDONLY | O_NOCTTY);
    const int output = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(input, 0);
    dup2(output, 1);
    execlp("cat", "cat", static_cast<char*>(nullptr));
    _exit(127);
  }
  const auto total = static_cast<off_t>(blocks * traffic.size());
  std::this_thread::sleep_for(std::chrono::milliseconds(200));  // cat is reading
  const auto start = Clock::now();
  for (std::size_t i = 0; i < blocks; ++i) {
    pty.WriteAll(traffic);
  }
  struct stat info {};
  while (stat(out.c_str(), &info) == 0 && info.st_size < total && SecondsSince(start) < 120) {
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  const double seconds = SecondsSince(start);
  if (cpuPerMegabyte != nullptr) {
    *cpuPerMegabyte =
        CpuSecondsOf("/proc/" + std::to_string(child) + "/stat") / (static_cast<double>(total) / kMegabyte);
  }
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
  std::remove(out.c_str());
  return static_cast<double>(total) / kMegabyte / seconds;
}

}  // namespace korvani::bench
