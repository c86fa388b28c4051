// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/screen/toast.h"

namespace korvani::hmi::screen {

Toast::Toast(ToastView& view, base::Timer& timer) : View(view), Timer(timer) {
  Timer.SetInterval(kToastTickMs);
  Timer.SetTickHandler([this] { CountdownTick(); });
}

void Toast::SpeakIt(std::string_view text, std::string_view /*language*/, std::string_view /*country*/,
                    std::string_view /*strClearQ*/) {
  std::string notice = "Speaks:\r\n\r\n\"";
  notice += text;
  notice += '"';
  ShowToast(notice);
}

void Toast::ShowToast(std::string_view text) {
  View.SetToastText(text);
  View.SetToastVisible(true);
  Timer.SetEnabled(true);  // the countdown that may be running goes on
}

void Toast::CountdownTick() {
  if (ToastState == 0) {
    ToastCountdown = kToastTicks;
    ToastState = 1;
    return;
  }
  --ToastCountdown;
  if (ToastCountdown > 0) {
    if (!View.ToastVisible()) {
      ToastState = 0;
    }
    return;
  }
  ToastState = 0;
  View.SetToastVisible(false);
}

}  // namespace korvani::hmi::screen
