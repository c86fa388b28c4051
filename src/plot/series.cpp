// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/series.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace korvani::plot {

namespace {

void Widen(Extremes& extremes, double value) {
  extremes.Least = std::min(extremes.Least, value);
  extremes.Greatest = std::max(extremes.Greatest, value);
}

void Widen(Extremes& extremes, const Extremes& other) {
  extremes.Least = std::min(extremes.Least, other.Least);
  extremes.Greatest = std::max(extremes.Greatest, other.Greatest);
}

}  // namespace

Series::Series(std::string name, std::size_t capacity) : SeriesName(std::move(name)), Capacity(capacity) {
  if (capacity < kLargeBlock || (capacity & (capacity - 1)) != 0) {
    throw std::invalid_argument("a series holds a power of two of at least 4096 points");
  }
}

void Series::Append(double time, double value) {
  if (Next > 0) {
    time = std::max(time, Last().Time);
  }
  const std::size_t slot = Slot(Next);
  if (Points.size() < Capacity) {
    Points.push_back({time, value});
  } else {
    Points[slot] = {time, value};
  }
  const std::size_t small = slot / kSmallBlock;
  const std::size_t large = slot / kLargeBlock;
  if (small >= Small.size()) {
    Small.resize(small + 1);
    Large.resize(large + 1);
  }
  // A block's first point starts its extremes afresh; it may be the slot of an older block.
  if (slot % kSmallBlock == 0) {
    Small[small] = {value, value};
  }
  if (slot % kLargeBlock == 0) {
    Large[large] = {value, value};
  }
  Widen(Small[small], value);
  Widen(Large[large], value);
  ++Next;
}

void Series::Clear() {
  Next = 0;
  Points = {};
  Small = {};
  Large = {};
}

std::size_t Series::FirstAtOrAfter(double time, std::size_t from) const {
  const std::size_t count = Count();
  std::size_t low = from;
  std::size_t high = from;
  for (std::size_t stride = 1; high < count && At(high).Time < time; stride *= 2) {
    low = high + 1;
    high = std::min(count, high + stride);
  }
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (At(middle).Time < time) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low;
}

Extremes Series::Range(std::size_t from, std::size_t to) const {
  // Absolute numbers: blocks are aligned on them, and a block wholly at or after the oldest
  // point has not been overwritten.
  std::uint64_t at = Oldest() + from;
  const std::uint64_t end = Oldest() + to;
  Extremes extremes{Points[Slot(at)].Value, Points[Slot(at)].Value};
  const auto raw = [&] {
    Widen(extremes, Points[Slot(at)].Value);
    ++at;
  };
  while (at < end && at % kSmallBlock != 0) {
    raw();
  }
  while (at + kSmallBlock <= end && at % kLargeBlock != 0) {
    Widen(extremes, Small[Slot(at) / kSmallBlock]);
    at += kSmallBlock;
  }
  while (at + kLargeBlock <= end) {
    Widen(extremes, Large[Slot(at) / kLargeBlock]);
    at += kLargeBlock;
  }
  while (at + kSmallBlock <= end) {
    Widen(extremes, Small[Slot(at) / kSmallBlock]);
    at += kSmallBlock;
  }
  while (at < end) {
    raw();
  }
  return extremes;
}

std::size_t Series::Bytes() const {
  return Points.capacity() * sizeof(Point) + (Small.capacity() + Large.capacity()) * sizeof(Extremes);
}

}  // namespace korvani::plot
