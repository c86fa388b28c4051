// SPDX-License-Identifier: GPL-3.0-or-later
// The plot's data: the numbers found in received lines, one series per name or column,
// each point at the time its line arrived. Bounded: at most kMaxSeries series of
// Series::kCapacity points, 256 MiB when every one is full.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "plot/line_parser.h"
#include "plot/series.h"

namespace korvani::plot {

class PlotData {
 public:
  static constexpr std::size_t kMaxSeries = 16;

  explicit PlotData(std::size_t pointsPerSeries = Series::kCapacity) : Capacity(pointsPerSeries) {}

  // Received bytes that arrived at `microseconds` on a steady clock. The first number after
  // the start or a clear is at time 0. Passed over while not collecting.
  void Feed(std::string_view bytes, std::int64_t microseconds);
  // Whether received bytes are read at all (on unless told). Every byte would pass the
  // parser: a program whose plot was never looked at does not pay for it.
  void SetCollecting(bool on) { Collecting = on; }
  // Every series and point goes, and the header of columns is forgotten.
  void Clear();
  // Told after a piece of bytes that added points (a view then draws them when it can).
  void SetChangeWatcher(std::function<void()> watcher) { Watcher = std::move(watcher); }

  // In the order their names first came.
  [[nodiscard]] const std::vector<std::unique_ptr<Series>>& AllSeries() const { return Kept; }
  // Grows with every clear: a view that drew an earlier one builds its series afresh.
  [[nodiscard]] std::uint64_t Clears() const { return ClearCount; }
  // The times of the oldest and the newest point of any series (0 when there is none).
  [[nodiscard]] double OldestTime() const;
  [[nodiscard]] double NewestTime() const { return Newest; }
  // Values passed over because their name would have been a series past kMaxSeries.
  [[nodiscard]] std::uint64_t PassedOver() const { return Dropped; }
  [[nodiscard]] std::size_t Bytes() const;

 private:
  Series* Find(std::string_view name);

  std::size_t Capacity;
  bool Collecting = true;
  LineParser Parser;
  std::vector<std::unique_ptr<Series>> Kept;
  std::optional<std::int64_t> Origin;
  double Newest = 0;
  std::uint64_t ClearCount = 0;
  std::uint64_t Dropped = 0;
  std::function<void()> Watcher;
};

// The kept data as comma-separated values, handed to `write` in pieces: a header
// "time (s),name,..." and a row per arrival time, a value under each series that has one.
void WriteCsv(const PlotData& data, const std::function<void(std::string_view)>& write);

}  // namespace korvani::plot
