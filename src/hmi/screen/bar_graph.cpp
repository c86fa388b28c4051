// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/screen/bar_graph.h"

#include <algorithm>
#include <cmath>

#include "base/numbers.h"

namespace korvani::hmi::screen {

using base::LenientNumber;
using base::WholeNumber;

void DrawBarGraph(Screen& screen, const link::Arguments& a) {
  const double value = std::clamp(LenientNumber(a[4]), 0.0, 1.0);
  DrawingSurface& surface = screen.Surface();
  const auto cellHeight = static_cast<std::int16_t>(std::floor(screen.CellHeight()));
  const auto cellWidth = static_cast<std::int16_t>(std::floor(screen.CellWidth()));
  const auto innerHeight = WholeNumber(surface.InnerHeight());
  const auto innerWidth = WholeNumber(surface.InnerWidth());
  const std::int32_t x = Screen::ResolvePosition(a[1], cellWidth, innerWidth, 0);
  const std::int32_t y = Screen::ResolvePosition(a[0], cellHeight, innerHeight, 0);
  const std::int32_t w = Screen::ResolveSize(a[3], cellWidth, innerWidth, 0);
  // Wide, as the positions are: a screen grown past 2,184 pixels is taller than 16 bits of twips.
  const double h = Screen::ResolveSize(a[2], cellHeight, innerHeight, 0) - surface.TwipsPerPixel();
  // The surface fills both corners' pixels: each bar ends one pixel before x + width, so the
  // background is exactly w wide and the fill exactly w·v (a value of 0 fills nothing).
  const double pixel = surface.TwipsPerPixel();
  const auto fillTo = [&](double width, Colour colour) {
    if (width >= pixel / 2) {
      surface.FillRect(x, y, x + width - pixel, static_cast<double>(y) + h, colour);
    }
  };
  fillTo(w, screen.BackColour());
  fillTo(w * value, screen.ForeColour());
  surface.Refresh();
}

}  // namespace korvani::hmi::screen
