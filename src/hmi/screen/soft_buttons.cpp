// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/screen/soft_buttons.h"
#include "base/text.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "base/numbers.h"
#include "hmi/link/protocol.h"

namespace korvani::hmi::screen {

namespace {

using base::LenientNumber;
using base::ToInt16;
using base::WholeNumber;

std::int32_t NonNegative(std::int32_t size, const char* what) {
  if (size < 0) {
    throw std::out_of_range(what);
  }
  return size;
}

}  // namespace

SoftButtons::SoftButtons(Screen& screen, ButtonView& view, base::Timer& repeatTimer,
                         std::function<void(std::string_view)> send, IntroActions intro)
    : HmiScreen(screen),
      View(view),
      RepeatTimer(repeatTimer),
      Send(std::move(send)),
      Intro(std::move(intro)) {
  HMIButtons[0].Caption = "F1";
  RepeatTimer.SetTickHandler([this] { RepeatTick(); });
}

std::int16_t SoftButtons::NextAvailableButton() const {
  for (int i = kButtonCount - 1; i >= 0; --i) {
    if (!HMIButtons[static_cast<std::size_t>(i)].Defined) {
      return static_cast<std::int16_t>(i);
    }
  }
  return -1;
}

void SoftButtons::DefineButton(const link::Arguments& a) {
  const bool autoNumbered = a[0].empty();
  const std::int16_t index =
      autoNumbered ? NextAvailableButton() : ToInt16(LenientNumber(a[0]) - 1, "button number beyond 16 bits");
  if (index < 0 || index >= kButtonCount) {
    return;
  }
  HMIButton& button = HMIButtons[static_cast<std::size_t>(index)];
  if (autoNumbered || !button.Defined) {
    button.RepeatMode = 0;
    button.PressState = Idle;
    button.Visible = true;
  }

  // Each field applies on its own: a failure keeps the ones before it (the screen shows them).
  struct ShowOnExit {
    SoftButtons* Owner;
    int Index;
    ~ShowOnExit() { Owner->Show(Index); }
  } showOnExit{this, index};

  PlaceButton(button, a);
  if (!a[5].empty()) {
    button.Caption = a[5];
  }
  if (!a[6].empty()) {
    ApplyFlags(button, a[6]);
  }
  if (!a[7].empty()) {
    button.SendText = a[7];
  }
  View.BringButtonToFront(index);
  button.Defined = true;
}

// Row, column, height and width (a1 to a4), each where given.
void SoftButtons::PlaceButton(HMIButton& button, const link::Arguments& a) const {
  const DrawingSurface& surface = HmiScreen.Surface();
  const auto cellHeight = static_cast<std::int16_t>(std::floor(HmiScreen.CellHeight()));
  const auto cellWidth = static_cast<std::int16_t>(std::floor(HmiScreen.CellWidth()));
  const auto innerHeight = WholeNumber(surface.InnerHeight());
  const auto innerWidth = WholeNumber(surface.InnerWidth());
  if (!a[1].empty()) {
    button.Top = Screen::ResolvePosition(a[1], cellHeight, innerHeight, 0.5F);
    button.Cells[0] = a[1];
  }
  if (!a[2].empty()) {
    button.Left = Screen::ResolvePosition(a[2], cellWidth, innerWidth, 0.25F);
    button.Cells[1] = a[2];
  }
  if (!a[3].empty()) {
    button.Height =
        NonNegative(Screen::ResolveSize(a[3], cellHeight, innerHeight, -1.0F), "negative button height");
    button.Cells[2] = a[3];
  }
  if (!a[4].empty()) {
    button.Width =
        NonNegative(Screen::ResolveSize(a[4], cellWidth, innerWidth, -0.5F), "negative button width");
    button.Cells[3] = a[4];
  }
}

void SoftButtons::PlaceButtons() {
  for (int i = 0; i < kButtonCount; ++i) {
    HMIButton& button = HMIButtons[static_cast<std::size_t>(i)];
    if (button.InGrid) {
      PlaceInGrid(button, i);
    }
    link::Arguments cells;
    std::copy(button.Cells.begin(), button.Cells.end(), cells.begin() + 1);
    try {
      PlaceButton(button, cells);
    } catch (const std::exception&) {
      // A size that no longer resolves leaves the button where it was; the others go on.
    }
    Show(i);
  }
}

void SoftButtons::PlaceInGrid(HMIButton& button, int index) const {
  const double columns = HmiScreen.ScreenColumns();
  const double row = HmiScreen.ScreenRows() - (index < 4 ? 7 : 3);
  const double column = base::RoundHalfEven((index % 4) * columns / 4 + 1);
  button.Top = WholeNumber((row - 0.5) * HmiScreen.CellHeight());
  button.Left = WholeNumber((column - 0.5) * HmiScreen.CellWidth());
  button.Height = WholeNumber(2.25 * HmiScreen.CellHeight());
  button.Width = WholeNumber((columns / 4 - 1) * HmiScreen.CellWidth());
}

// "1" shows the button, an "I" anywhere hides it; an "R" makes it repeat, at the rate after
// it when one follows.
void SoftButtons::ApplyFlags(HMIButton& button, const std::string& flags) {
  button.Visible = flags == "1" || flags.find('I') == std::string::npos;
  const std::size_t r = flags.find('R');
  if (r == std::string::npos) {
    return;
  }
  button.RepeatMode = 1;
  button.RepeatRate = kDefaultRepeatRate;
  if (r + 1 < flags.size()) {
    const std::int16_t rate = ToInt16(LenientNumber(std::string_view(flags).substr(r + 1)), "repeat rate");
    if (rate > 0) {
      button.RepeatRate = rate;
    }
  }
}

void SoftButtons::Fire(std::int16_t index) {
  Send(link::TextMessage(HMIButtons[static_cast<std::size_t>(index)].SendText));
}

void SoftButtons::ButtonEvent(char event, std::int16_t index) {
  switch (event) {
    case 'D': {
      PressedButton = index;
      HMIButton& button = HMIButtons.at(static_cast<std::size_t>(index));
      if (button.PressState == Idle) {
        if (button.RepeatMode == 0) {
          button.PressState = Pressed;
        } else {
          RepeatTimer.SetInterval(kFirstRepeatMs);
          RepeatTimer.SetEnabled(true);
          button.PressState = RepeatWait;
        }
      }
      break;
    }
    case 'U': {
      PressedButton = index;
      HMIButton& button = HMIButtons.at(static_cast<std::size_t>(index));
      const std::int16_t state = button.PressState;
      if (state == Idle) {
        break;
      }
      button.PressState = Idle;
      PressedButton = -1;
      if (state != Pressed) {
        RepeatTimer.SetEnabled(false);
      }
      if (state == Pressed || state == RepeatWait) {
        Fire(index);
      }
      break;
    }
    case 'T': {
      if (PressedButton < 0) {
        RepeatTimer.SetEnabled(false);
        break;
      }
      HMIButton& button = HMIButtons[static_cast<std::size_t>(PressedButton)];
      if (button.PressState == Idle) {
        RepeatTimer.SetEnabled(false);
      } else if (button.PressState == RepeatWait) {
        button.PressState = Repeating;
        Fire(PressedButton);
        const std::int16_t rate = button.RepeatRate > 0 ? button.RepeatRate : kDefaultRepeatRate;
        // A rate too fast for a whole millisecond gives 0, which stops the timer: no rate
        // floods the line.
        RepeatTimer.SetInterval(WholeNumber(1000.0 / rate));
      } else if (button.PressState == Repeating) {
        Fire(PressedButton);
      }
      break;
    }
    case 'I':
      PressedButton = -1;
      break;
    default:
      break;
  }
}

void SoftButtons::Press(std::int16_t index) {
  if (Intro.IntroShowing && Intro.IntroShowing()) {
    if (index == 0) {
      Intro.ClearIntroShowing();
      HmiScreen.ScreenReset();
      Intro.ShowToast(kIntroF1Toast);
    } else if (index == 1) {
      Intro.OpenMakersHomePage();
      HmiScreen.ScreenReset();
    }
    return;
  }
  ButtonEvent('D', index);
}

bool SoftButtons::KeyDown(int number) {
  if (number < 1 || number > kDefaultButtons || !HMIButtons[static_cast<std::size_t>(number - 1)].Visible) {
    return false;
  }
  KeyHeld[static_cast<std::size_t>(number - 1)] = true;
  Press(static_cast<std::int16_t>(number - 1));
  return true;
}

bool SoftButtons::KeyUp(int number) {
  if (number < 1 || number > kDefaultButtons || !KeyHeld[static_cast<std::size_t>(number - 1)]) {
    return false;
  }
  KeyHeld[static_cast<std::size_t>(number - 1)] = false;
  Release(static_cast<std::int16_t>(number - 1));
  return true;
}

void SoftButtons::ReleaseKeys() {
  for (int number = 1; number <= kDefaultButtons; ++number) {
    KeyUp(number);
  }
}

void SoftButtons::ResetButtons() {
  KeyHeld.fill(false);  // the reset forgot the held button
  for (int i = 0; i < kButtonCount; ++i) {
    HMIButton& button = HMIButtons[static_cast<std::size_t>(i)];
    button.Cells = {};
    button.InGrid = i < kDefaultButtons;
    if (i >= kDefaultButtons) {
      button.Visible = false;
      Show(i);
      continue;
    }
    button.Caption = "F" + std::to_string(i + 1);
    button.SendText = std::to_string(i + 1);
    button.Visible = true;
    button.Defined = true;
    button.RepeatMode = 0;
    PlaceInGrid(button, i);
    Show(i);
  }
}

void SoftButtons::RemoveAllButtons() {
  for (int i = 0; i < kButtonCount; ++i) {
    HMIButton& button = HMIButtons[static_cast<std::size_t>(i)];
    button.Visible = false;
    button.SendText.clear();
    button.Defined = false;
    button.RepeatMode = 0;
    button.Cells = {};
    button.InGrid = false;
    Show(i);
  }
}

}  // namespace korvani::hmi::screen
