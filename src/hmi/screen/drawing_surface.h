// SPDX-License-Identifier: GPL-3.0-or-later
// The surface the HMI screen is drawn on (picHMI1). Positions and sizes are in twips
// (1/1440 inch); colours are red + 256 * green + 65536 * blue. Drawing is persistent until
// the surface is cleared.
#pragma once

#include <cstdint>
#include <string_view>

namespace korvani::hmi::screen {

using Colour = std::int32_t;

// The surface as designed: white text on black.
inline constexpr Colour kDesignedForeColour = 0xFFFFFF;
inline constexpr Colour kDesignedBackColour = 0x000000;

class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;

  // A fixed-pitch face ("Courier New") at a size in points; applies to the next
  // measurement and drawing.
  virtual void SetFont(std::string_view family, double points) = 0;
  // Extent of a text in the current font.
  [[nodiscard]] virtual double TextHeight(std::string_view text) const = 0;
  [[nodiscard]] virtual double TextWidth(std::string_view text) const = 0;

  // Border and fill in one colour, between two corners.
  virtual void FillRect(double x1, double y1, double x2, double y2, Colour colour) = 0;
  // Text with its top-left corner at (x, y), no line break, on whatever is below it.
  virtual void DrawText(std::string_view text, double x, double y, Colour colour) = 0;
  // The whole surface in its background colour.
  virtual void Clear() = 0;
  // Setting the background colour repaints the whole surface in it.
  virtual void SetBackColour(Colour colour) = 0;
  [[nodiscard]] virtual Colour BackColour() const = 0;
  // Makes what was drawn visible at once.
  virtual void Refresh() = 0;

  // The outer size includes the border; the inner size is the drawable area.
  virtual void SetOuterSize(double width, double height) = 0;
  [[nodiscard]] virtual double OuterWidth() const = 0;
  [[nodiscard]] virtual double OuterHeight() const = 0;
  [[nodiscard]] virtual double InnerWidth() const = 0;
  [[nodiscard]] virtual double InnerHeight() const = 0;
  [[nodiscard]] virtual double TwipsPerPixel() const = 0;
};

}  // namespace korvani::hmi::screen
