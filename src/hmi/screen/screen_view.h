// SPDX-License-Identifier: GPL-3.0-or-later
// What the screen model shows around the drawing surface.
#pragma once

#include <string_view>

namespace korvani::hmi::screen {

class ScreenView {
 public:
  virtual ~ScreenView() = default;
  // lblHMITitle above the screen: its width in twips (always the screen's outer width) and
  // its caption.
  virtual void SetTitleWidth(double twips) = 0;
  virtual void SetTitleCaption(std::string_view caption) = 0;
  // txtSetWidth: the width box, set when a request is clamped.
  virtual void SetWidthBoxText(std::string_view text) = 0;
  // The screen's size as set up for the board's columns, before it grows with the window
  // (outer twips): the least room the window keeps for it. A view without that room ignores it.
  virtual void SetScreenBaseSize(double /*widthTwips*/, double /*heightTwips*/) {}
};

}  // namespace korvani::hmi::screen
