// SPDX-License-Identifier: GPL-3.0-or-later
// The board's soft buttons: up to 100 on the screen, defined by "O", removed by "U", each
// sending its text to the board when the operator presses and releases it, with
// auto-repeat while held.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/timer.h"
#include "hmi/link/arguments.h"
#include "hmi/screen/screen.h"

namespace korvani::hmi::screen {

inline constexpr int kButtonCount = 100;
inline constexpr int kDefaultButtons = 8;
inline constexpr std::int16_t kDefaultRepeatRate = 5;
inline constexpr int kFirstRepeatMs = 250;

enum PressState : std::int16_t { Idle = 0, Pressed = 1, RepeatWait = 2, Repeating = 3 };

struct HMIButton {
  std::string SendText;
  bool Defined = false;
  std::int16_t RepeatMode = 0;  // 0 plain, 1 auto-repeat
  std::int16_t PressState = Idle;
  std::int16_t RepeatRate = 0;  // repeats a second
  // What the on-screen control shows, in twips.
  std::string Caption;
  std::int32_t Top = 0;
  std::int32_t Left = 0;
  std::int32_t Height = 0;
  std::int32_t Width = 0;
  bool Visible = false;
  // Where the board put it, in its own terms (top, left, height, width; empty where it never
  // said), and whether F1 to F8's grid placed it first: a screen of another size places it
  // again from these.
  std::array<std::string, 4> Cells;
  bool InGrid = false;
};

// The button controls (cmdHMIUserButton), children of the screen.
class ButtonView {
 public:
  virtual ~ButtonView() = default;
  // Shows button i as its record says (caption, geometry, visibility).
  virtual void ShowButton(int index, const HMIButton& button) = 0;
  virtual void BringButtonToFront(int index) = 0;
};

// What a press on F1 or F2 does while the start-up intro is showing.
struct IntroActions {
  std::function<bool()> IntroShowing;
  std::function<void()> ClearIntroShowing;
  std::function<void(std::string_view)> ShowToast;
  std::function<void()> OpenMakersHomePage;
};

// The intro's own words say "Open"; the notice names both steps the same way.
inline constexpr std::string_view kIntroF1Toast =
    "Select the correct COM port in the Settings tab and press Open, then click the Connect button to get "
    "going with the host controller. Contact your equipment supplier for additional assistance.";

class SoftButtons {
 public:
  // `send` takes a finished message for the board (PanelSend).
  SoftButtons(Screen& screen, ButtonView& view, base::Timer& repeatTimer,
              std::function<void(std::string_view)> send, IntroActions intro);

  void DefineButton(const link::Arguments& a);
  [[nodiscard]] std::int16_t NextAvailableButton() const;
  void ButtonEvent(char event, std::int16_t index);
  // The screen reset's part: F1 to F8 laid out and shown, 9 to 100 hidden.
  void ResetButtons();
  void RemoveAllButtons();
  // Every button placed again for the screen's new cell size, and shown.
  void PlaceButtons();

  void Press(std::int16_t index);
  void Release(std::int16_t index) { ButtonEvent('U', index); }
  void RepeatTick() { ButtonEvent('T', -1); }
  // F1 to F8 on the keyboard (`number` 1 to 8): the soft button of that number, while it is
  // shown, as if clicked and held until the key goes up, repeating as its own setting says.
  // A key whose button was not shown when it went down lets go of nothing. False for a key
  // that is not one of them or whose button is not shown.
  bool KeyDown(int number);
  bool KeyUp(int number);
  // Every key held lets go, as when the window loses the keyboard: no key-up will come.
  void ReleaseKeys();

  [[nodiscard]] const HMIButton& Button(int index) const {
    return HMIButtons.at(static_cast<std::size_t>(index));
  }
  [[nodiscard]] std::int16_t PressedButtonIndex() const { return PressedButton; }

 private:
  void PlaceButton(HMIButton& button, const link::Arguments& a) const;
  void PlaceInGrid(HMIButton& button, int index) const;
  static void ApplyFlags(HMIButton& button, const std::string& flags);
  void Fire(std::int16_t index);
  void Show(int index) { View.ShowButton(index, HMIButtons[static_cast<std::size_t>(index)]); }

  Screen& HmiScreen;
  ButtonView& View;
  base::Timer& RepeatTimer;
  std::function<void(std::string_view)> Send;
  IntroActions Intro;
  std::array<HMIButton, kButtonCount> HMIButtons{};
  std::int16_t PressedButton = -1;
  std::array<bool, kDefaultButtons> KeyHeld{};
};

}  // namespace korvani::hmi::screen
