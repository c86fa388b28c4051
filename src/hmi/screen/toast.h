// SPDX-License-Identifier: GPL-3.0-or-later
// Short notices over the window (the board's speech commands, the intro's F1): shown for
// about ten seconds, or until clicked away.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/timer.h"

namespace korvani::hmi::screen {

inline constexpr int kToastTickMs = 100;
inline constexpr std::int16_t kToastTicks = 100;

class ToastView {
 public:
  virtual ~ToastView() = default;
  virtual void SetToastText(std::string_view text) = 0;  // lblToastMsg, plain text
  virtual void SetToastVisible(bool visible) = 0;        // fraToastMsg
  [[nodiscard]] virtual bool ToastVisible() const = 0;
};

class Toast {
 public:
  Toast(ToastView& view, base::Timer& timer);

  // Shows what the board asked to be spoken; the panel makes no sound.
  void SpeakIt(std::string_view text, std::string_view language, std::string_view country,
               std::string_view strClearQ);
  void ShowToast(std::string_view text);
  void CountdownTick();
  // A click on the message or on "Click to dismiss".
  void Dismiss() { View.SetToastVisible(false); }

  std::int16_t ToastState = 0;
  std::int16_t ToastCountdown = 0;

 private:
  ToastView& View;
  base::Timer& Timer;
};

}  // namespace korvani::hmi::screen
