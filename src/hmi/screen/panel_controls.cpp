// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/screen/panel_controls.h"

#include <stdexcept>

#include "base/numbers.h"

namespace korvani::hmi::screen {

PanelControls::PanelControls(Screen& screen, PanelControlsView& view, std::function<void()> sendConnect)
    : HmiScreen(screen), View(view), SendConnect(std::move(sendConnect)) {}

void PanelControls::ChooseLayout(int index) {
  static constexpr Layout kLayouts[] = {Layout::Ratio4x3, Layout::Ratio3x2, Layout::Ratio5x3,
                                        Layout::Ratio16x9};
  LoadLayout(HmiScreen.Layouts(), kLayouts[index & 3]);
  HmiScreen.ScreenSetup(0);
  SendConnect();
}

void PanelControls::ApplyWidthBox() {
  const double columns = base::LenientNumber(View.WidthBoxText());
  // A count the screen cannot take (below one column, or beyond 16 bits) is refused and
  // nothing changes.
  if (columns == HmiScreen.ScreenColumns() || !base::FitsInt16(columns) || base::WholeNumber(columns) < 1) {
    return;
  }
  HmiScreen.ScreenSetup(static_cast<std::int16_t>(base::WholeNumber(columns)));
}

void PanelControls::ApplyControlMask(std::string_view maskText) {
  const double mask = base::LenientNumber("&H" + std::string(maskText));
  if (!base::FitsInt16(mask)) {
    throw std::out_of_range("control mask outside 16 bits");  // the message is abandoned
  }
  ApplyMask(base::WholeNumber(mask));
}

void PanelControls::ApplyMask(int mask) {
  for (int bit = 0; bit < kMaskedControls; ++bit) {
    View.SetControlVisible(static_cast<PanelControl>(bit), (mask & (1 << bit)) != 0);
  }
  if (TerminalHook) {
    TerminalHook((mask & kTerminalBit) != 0);
  }
}

void PanelControls::ResetPanelControls() {
  ApplyMask(1 | (TerminalMode ? kTerminalBit : 0));
}

bool PanelControls::TerminalModeFrom(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument == "/T" || argument == "/t") {
      return true;
    }
  }
  return false;
}

}  // namespace korvani::hmi::screen
