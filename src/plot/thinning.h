// SPDX-License-Identifier: GPL-3.0-or-later
// What is drawn of a series: no more points than the pixels in view can show.
#pragma once

#include <vector>

#include "plot/series.h"

namespace korvani::plot {

// The points that draw `series` from `from` to `to` seconds across `columns` pixel columns,
// into `out` (emptied first). A column with at most two points keeps them; a fuller one
// gives its least and greatest values, at its first and last point's times, in the order its
// trend takes them: the line drawn covers the same pixels. The nearest point outside each end
// is kept as well, so the line runs to the edges. The cost follows the columns, not the
// points kept.
void Thin(const Series& series, double from, double to, int columns, std::vector<Point>& out);

}  // namespace korvani::plot
