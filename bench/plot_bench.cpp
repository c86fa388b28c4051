// SPDX-License-Identifier: GPL-3.0-or-later
// The plot's store, in the benchmark's own process and without a window: what every received
// byte pays for the plot (the mixed workload, mostly text, in 4 KiB chunks; and 16 series of
// numbers), and what a frame of 1,000 pixel columns pays to thin a series of 1,000 or
// 1,000,000 points.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "mixed_traffic.h"
#include "plot/plot_data.h"
#include "plot/thinning.h"

namespace {

using korvani::plot::PlotData;
using korvani::plot::Point;
using korvani::plot::Series;

constexpr std::size_t kChunk = 4096;

void FeedInChunks(benchmark::State& state, const std::string& traffic) {
  for (auto _ : state) {
    PlotData data;
    for (std::size_t at = 0; at < traffic.size(); at += kChunk) {
      data.Feed(std::string_view(traffic).substr(at, kChunk), static_cast<std::int64_t>(at));
    }
    benchmark::DoNotOptimize(data.NewestTime());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * traffic.size()));
}

void BM_FeedMixedTraffic(benchmark::State& state) {
  FeedInChunks(state, korvani::bench::MixedTraffic(8 << 20));
}
BENCHMARK(BM_FeedMixedTraffic)->Unit(benchmark::kMillisecond);

// "s0:12.345,s1:...,s15:..." lines, as a board printing 16 values does.
void BM_FeedSixteenSeries(benchmark::State& state) {
  std::string traffic;
  for (int line = 0; line < 20000; ++line) {
    for (int s = 0; s < 16; ++s) {
      traffic +=
          (s == 0 ? "s" : ",s") + std::to_string(s) + ":" + std::to_string(std::sin(line * 0.01 + s) * 100);
    }
    traffic += "\r\n";
  }
  FeedInChunks(state, traffic);
  state.counters["lines/s"] =
      benchmark::Counter(20000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FeedSixteenSeries)->Unit(benchmark::kMillisecond);

// A frame's thinning of one series over everything kept, 1,000 columns.
void BM_ThinAllKept(benchmark::State& state) {
  Series series("s");
  const auto points = static_cast<int>(state.range(0));
  for (int i = 0; i < points; ++i) {
    series.Append(i * 0.001, std::sin(i * 0.001));
  }
  std::vector<Point> drawn;
  for (auto _ : state) {
    korvani::plot::Thin(series, 0, points * 0.001, 1000, drawn);
    benchmark::DoNotOptimize(drawn.data());
  }
  state.counters["points drawn"] = static_cast<double>(drawn.size());
  state.counters["MB kept"] = static_cast<double>(series.Bytes()) / 1e6;
}
BENCHMARK(BM_ThinAllKept)->Arg(1000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

}  // namespace
