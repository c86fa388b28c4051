// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/thinning.h"

#include <algorithm>
#include <cmath>

namespace korvani::plot {

void Thin(const Series& series, double from, double to, int columns, std::vector<Point>& out) {
  out.clear();
  const std::size_t count = series.Count();
  if (count == 0 || columns <= 0 || !(to > from)) {
    return;
  }
  std::size_t at = series.FirstAtOrAfter(from);
  if (at > 0) {
    out.push_back(series.At(at - 1));
  }
  const double width = (to - from) / columns;
  for (int column = 0; column < columns && at < count; ++column) {
    // A column holds the times from its start up to its end; the last one holds `to` too.
    const double end = column + 1 == columns ? std::nextafter(to, to + 1) : from + width * (column + 1);
    const std::size_t stop = series.FirstAtOrAfter(end, at);
    if (stop - at <= 2) {
      for (std::size_t i = at; i < stop; ++i) {
        out.push_back(series.At(i));
      }
    } else {
      const Point first = series.At(at);
      const Point last = series.At(stop - 1);
      const Extremes extremes = series.Range(at, stop);
      const bool rising = last.Value >= first.Value;
      out.push_back({first.Time, rising ? extremes.Least : extremes.Greatest});
      out.push_back({last.Time, rising ? extremes.Greatest : extremes.Least});
    }
    at = stop;
  }
  if (at < count) {
    out.push_back(series.At(at));
  }
}

}  // namespace korvani::plot
