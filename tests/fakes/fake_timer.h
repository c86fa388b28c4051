// SPDX-License-Identifier: GPL-3.0-or-later
// A window timer that ticks only when told to.
#pragma once

#include <functional>

#include "base/timer.h"

namespace korvani::fakes {

class FakeTimer final : public base::Timer {
 public:
  void SetInterval(int milliseconds) override {
    IntervalMs = milliseconds;
    SinceTick = 0;  // a running timer starts its new interval afresh
    On = On && milliseconds > 0;
  }
  [[nodiscard]] int Interval() const override { return IntervalMs; }
  void SetEnabled(bool enabled) override {
    if (enabled && !On) {
      SinceTick = 0;
    }
    On = enabled && IntervalMs > 0;
  }
  [[nodiscard]] bool Enabled() const override { return On; }
  void SetTickHandler(std::function<void()> handler) override { Handler = std::move(handler); }

  // Lets `milliseconds` pass: ticks at every full interval while the timer is on.
  void Advance(int milliseconds) {
    for (int elapsed = 0; elapsed < milliseconds; ++elapsed) {
      if (!On) {
        SinceTick = 0;
        continue;
      }
      if (++SinceTick >= IntervalMs) {
        SinceTick = 0;
        Tick();
      }
    }
  }
  void Tick() {
    if (Handler) {
      Handler();
    }
  }

  int IntervalMs = 0;
  int SinceTick = 0;
  bool On = false;
  std::function<void()> Handler;
};

}  // namespace korvani::fakes
