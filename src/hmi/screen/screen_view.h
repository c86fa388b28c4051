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
};

}  // namespace korvani::hmi::screen
