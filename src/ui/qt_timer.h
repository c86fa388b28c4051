// A window timer over QTimer.
#pragma once

#include <QTimer>

#include "base/timer.h"

namespace korvani::ui {

class QtTimer final : public base::Timer {
 public:
  QtTimer() {
    QObject::connect(&Timer, &QTimer::timeout, [this] {
      if (Handler) {
        Handler();
      }
    });
  }
  void SetInterval(int milliseconds) override { Timer.setInterval(milliseconds); }
  [[nodiscard]] int Interval() const override { return Timer.interval(); }
  void SetEnabled(bool enabled) override {
    if (enabled && !Timer.isActive()) {
      Timer.start();
    } else if (!enabled) {
      Timer.stop();
    }
  }
  [[nodiscard]] bool Enabled() const override { return Timer.isActive(); }
  void SetTickHandler(std::function<void()> handler) override { Handler = std::move(handler); }

 private:
  QTimer Timer;
  std::function<void()> Handler;
};

}  // namespace korvani::ui
