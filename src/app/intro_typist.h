// SPDX-License-Identifier: GPL-3.0-or-later
// Types the intro text from the splash file onto the HMI screen, one character a tick,
// until the board takes over the screen.
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>

#include "base/timer.h"
#include "hmi/link/arguments.h"

namespace korvani::app {

inline constexpr int kIntroFirstTickMs = 20;
inline constexpr int kIntroTypingMs = 1;
inline constexpr int kIntroIdleMs = 1000;

class IntroTypist {
 public:
  enum State : std::int16_t { Idle = 0, ReadLine = 1, TypeLine = 2, EndOfFile = 4 };

  // Runs a screen command as the board's messages do (kept for redraw where they are).
  using Draw = std::function<void(char command, const hmi::link::Arguments& args)>;
  // `introShowing` tells whether the intro may still be drawn.
  IntroTypist(Draw draw, base::Timer& timer, std::function<bool()> introShowing, std::string splashFile);

  // Starts the timer; called when the window exists.
  void Start();
  void TypeNext();

  [[nodiscard]] std::int16_t SplashState() const { return State; }

 private:
  Draw DrawOnScreen;
  base::Timer& Timer;
  std::function<bool()> IntroShowing;
  std::string SplashFile;
  std::ifstream File;
  std::string Line;
  std::int16_t State = Idle;
};

}  // namespace korvani::app
