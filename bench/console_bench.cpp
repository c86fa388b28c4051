// SPDX-License-Identifier: GPL-3.0-or-later
// The console's emulator, in the benchmark's own process and without a window: a flood of
// 64-byte lines taken in 4 KiB chunks by an 80 x 24 screen whose every line feed scrolls,
// plain and with a colour change (SGR) on every line. The view draws at most every 33 ms on
// top of this; what the program drains with the console in view is measured from outside.
#include <benchmark/benchmark.h>

#include <string>

#include "console/screen_emulator.h"

namespace {

std::string Lines(bool coloured) {
  std::string chunk;
  for (int i = 0; chunk.size() < 4096; ++i) {
    if (coloured) {
      chunk += "\x1b[3" + std::to_string(1 + i % 7) + "m";
    }
    chunk += "line " + std::to_string(i) + " temp:21.4,press:1.02 abcdefghijklmnopqrst\r\n";
  }
  return chunk;
}

void BM_ConsoleTakesAFlood(benchmark::State& state) {
  korvani::console::ScreenEmulator screen(24, 80);
  const std::string chunk = Lines(state.range(0) != 0);
  for (auto _ : state) {
    screen.Feed(chunk);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * chunk.size()));
}
BENCHMARK(BM_ConsoleTakesAFlood)->Arg(0)->Arg(1)->ArgName("sgr");

}  // namespace
