// SPDX-License-Identifier: GPL-3.0-or-later
// A window timer: an interval and an on/off switch. Its owner handles the ticks.
#pragma once

#include <functional>

namespace korvani::base {

class Timer {
 public:
  virtual ~Timer() = default;
  // An interval of 0 (or less) stops the timer, as a window timer's does.
  virtual void SetInterval(int milliseconds) = 0;
  [[nodiscard]] virtual int Interval() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  [[nodiscard]] virtual bool Enabled() const = 0;
  // What runs at every tick.
  virtual void SetTickHandler(std::function<void()> handler) = 0;
};

}  // namespace korvani::base
