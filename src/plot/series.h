// SPDX-License-Identifier: GPL-3.0-or-later
// One series of the plot: its points in arrival order, at most a fixed number of them (the
// oldest go first), with the least and greatest value of every block of 64 and of 4,096
// points, so that the extremes of any stretch are found without reading every point. That is
// what lets a frame cost the same with a thousand points kept or a million.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace korvani::plot {

struct Point {
  double Time = 0;  // seconds since the plot began
  double Value = 0;
  bool operator==(const Point&) const = default;
};

struct Extremes {
  double Least = 0;
  double Greatest = 0;
};

class Series {
 public:
  // 1,048,576 points, 16 bytes each: at most 16 MiB a series (and 0.4 MiB of block extremes).
  static constexpr std::size_t kCapacity = std::size_t{1} << 20;
  static constexpr std::size_t kSmallBlock = 64;
  static constexpr std::size_t kLargeBlock = 4096;

  // `capacity`: a power of two, at least kLargeBlock. The memory is taken as points come.
  explicit Series(std::string name, std::size_t capacity = kCapacity);

  // A time before the last point's is taken as the last point's, so times never go back.
  void Append(double time, double value);
  void Clear();

  [[nodiscard]] const std::string& Name() const { return SeriesName; }
  // Points kept; index 0 is the oldest.
  [[nodiscard]] std::size_t Count() const { return static_cast<std::size_t>(Next - Oldest()); }
  [[nodiscard]] Point At(std::size_t index) const { return Points[Slot(Oldest() + index)]; }
  [[nodiscard]] Point Last() const { return At(Count() - 1); }
  // The first index from `from` on whose time is not before `time` (Count() when none is).
  // Found by strides doubling from `from`, then halving: the nearer, the quicker.
  [[nodiscard]] std::size_t FirstAtOrAfter(double time, std::size_t from = 0) const;
  // The least and greatest value of the points [from, to); `from` < `to`.
  [[nodiscard]] Extremes Range(std::size_t from, std::size_t to) const;
  // What the series holds in memory now.
  [[nodiscard]] std::size_t Bytes() const;

 private:
  [[nodiscard]] std::uint64_t Oldest() const { return Next > Capacity ? Next - Capacity : 0; }
  [[nodiscard]] std::size_t Slot(std::uint64_t absolute) const {
    return static_cast<std::size_t>(absolute & (Capacity - 1));
  }

  std::string SeriesName;
  std::size_t Capacity;
  std::uint64_t Next = 0;  // how many points were ever appended since the last clear
  std::vector<Point> Points;
  std::vector<Extremes> Small;  // per block of kSmallBlock points, by slot
  std::vector<Extremes> Large;  // per block of kLargeBlock points
};

}  // namespace korvani::plot
