// SPDX-License-Identifier: GPL-3.0-or-later
// The layout and width controls and which of the panel's buttons show: the board's control
// mask ("X") and the default every screen reset restores, with the "/T" terminal switch.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "hmi/screen/screen.h"

namespace korvani::hmi::screen {

// The controls the mask's bits 0 to 6 show or hide, in bit order.
enum class PanelControl { Connect, Reset, Cls, Rulers, AspectRatio, Width, ShowTrace };
inline constexpr int kMaskedControls = 7;
inline constexpr int kTerminalBit = 0x80;

class PanelControlsView {
 public:
  virtual ~PanelControlsView() = default;
  virtual void SetControlVisible(PanelControl control, bool visible) = 0;
  [[nodiscard]] virtual std::string WidthBoxText() const = 0;  // txtSetWidth
};

class PanelControls {
 public:
  PanelControls(Screen& screen, PanelControlsView& view, std::function<void()> sendConnect);

  void ChooseLayout(int index);
  void ApplyWidthBox();
  void ApplyControlMask(std::string_view maskText);
  void ResetPanelControls();

  // "/T" as an argument of its own, in either case.
  static bool TerminalModeFrom(const std::vector<std::string>& arguments);

  // "/T" on the command line: the terminal functions come back with every screen reset.
  void SetTerminalMode(bool on) { TerminalMode = on; }
  // Told whenever the mask makes the terminal functions (the Terminal tab, the comms
  // parameters and the terminal's log-file settings) available or not.
  void SetTerminalFunctionsHook(std::function<void(bool available)> hook) { TerminalHook = std::move(hook); }

 private:
  void ApplyMask(int mask);

  Screen& HmiScreen;
  PanelControlsView& View;
  std::function<void()> SendConnect;
  std::function<void(bool)> TerminalHook;
  bool TerminalMode = false;
};

}  // namespace korvani::hmi::screen
