// SPDX-License-Identifier: GPL-3.0-or-later
// The receive view's history, in the benchmark's own process and without a window: taking
// the mixed workload in 4 KiB chunks, finding a text that is not there in a full history of
// 1,000,000 lines of 80 bytes, making a screenful of lines at its end, and the memory that
// history takes.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "mixed_traffic.h"
#include "terminal/rx_history.h"

namespace {

using korvani::terminal::HistoryForm;
using korvani::terminal::RxHistory;

constexpr std::size_t kChunk = 4096;
constexpr std::uint64_t kFullLines = 1000000;

// Resident memory of this process in MB, from /proc.
double ResidentMegabytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmRSS:") {
      double kilobytes = 0;
      status >> kilobytes;
      return kilobytes / 1024;
    }
    status.ignore(1 << 20, '\n');
  }
  return 0;
}

// 1,000,000 lines of 78 printable bytes and CR LF.
const RxHistory& FullHistory() {
  static const RxHistory* history = [] {
    auto* full = new RxHistory;
    std::string block;
    for (int i = 0; i < 50; ++i) {
      std::string line = "line " + std::to_string(i) + " ";
      line.resize(78, 'x');
      block += line + "\r\n";
    }
    for (std::uint64_t i = 0; i < kFullLines / 50; ++i) {
      full->Add(block, static_cast<std::int32_t>(i));
    }
    return full;
  }();
  return *history;
}

void BM_TakeMixedTraffic(benchmark::State& state) {
  const std::string traffic = korvani::bench::MixedTraffic(kChunk * 256);
  RxHistory history;
  std::size_t at = 0;
  for (auto _ : state) {
    history.Add(std::string_view(traffic).substr(at, kChunk), 0);
    at = (at + kChunk) % traffic.size();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kChunk));
}
BENCHMARK(BM_TakeMixedTraffic);

void BM_FindAbsentInAMillionLines(benchmark::State& state) {
  const RxHistory& history = FullHistory();
  const auto form = static_cast<HistoryForm>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(history.Find(form, "not there", 0, true, state.range(1) != 0));
  }
  state.counters["lines"] = static_cast<double>(history.LineCount(form));
  state.counters["RSS_MB"] = ResidentMegabytes();
}
BENCHMARK(BM_FindAbsentInAMillionLines)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"hex", "case"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_ScreenfulAtTheEnd(benchmark::State& state) {
  const RxHistory& history = FullHistory();
  const auto form = static_cast<HistoryForm>(state.range(0));
  const std::uint64_t count = history.LineCount(form);
  std::string text;
  for (auto _ : state) {
    for (std::uint64_t i = count - 60; i < count; ++i) {
      text.clear();
      benchmark::DoNotOptimize(history.AppendLine(form, i, text));
    }
  }
}
BENCHMARK(BM_ScreenfulAtTheEnd)->Arg(0)->Arg(1)->ArgName("hex");

}  // namespace
