// SPDX-License-Identifier: GPL-3.0-or-later
// A window timer over QTimer.
#pragma once

#include <QTimer>

#include "adapters/guarded.h"
#include "base/timer.h"

namespace korvani::ui {

class QtTimer final : public base::Timer {
 public:
  explicit QtTimer(FaultReport report = {}) : Report(std::move(report)) {
    QObject::connect(&Timer, &QTimer::timeout, [this] {
      if (Handler) {
        RunGuarded(Report, Handler);
      }
    });
  }
  // An interval of 0 stops the timer, as a window timer's does; a Qt timer at 0 would fire
  // at every pass of the event loop.
  void SetInterval(int milliseconds) override {
    Timer.setInterval(milliseconds);
    if (milliseconds <= 0) {
      Timer.stop();
    }
  }
  [[nodiscard]] int Interval() const override { return Timer.interval(); }
  void SetEnabled(bool enabled) override {
    if (enabled && !Timer.isActive() && Timer.interval() > 0) {
      Timer.start();
    } else if (!enabled) {
      Timer.stop();
    }
  }
  [[nodiscard]] bool Enabled() const override { return Timer.isActive(); }
  void SetTickHandler(std::function<void()> handler) override { Handler = std::move(handler); }

 private:
  FaultReport Report;
  QTimer Timer;
  std::function<void()> Handler;
};

}  // namespace korvani::ui
