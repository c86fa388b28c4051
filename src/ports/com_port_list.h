// SPDX-License-Identifier: GPL-3.0-or-later
// The COM port list on the settings tab: the machine's serial ports whose names carry a
// COM number up to 255, optionally without Bluetooth ports, with the port in use selected.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/dialogs.h"
#include "ports/device_source.h"

namespace korvani::ports {

inline constexpr std::string_view kSelectComPort = "(Select COM port)";

class ComPortListView {
 public:
  virtual ~ComPortListView() = default;
  virtual void ClearComPorts() = 0;
  virtual void AddComPort(std::string_view name) = 0;
  // Shows a text that is not an entry, such as "(Select COM port)".
  virtual void SetComPortText(std::string_view text) = 0;
  // Selects an entry without raising the list's click event.
  virtual void SelectComPort(int index) = 0;
  [[nodiscard]] virtual std::string ComPortText() const = 0;
};

class ComPortList {
 public:
  // `portChosen` is the list's click event (the connection applies the chosen port).
  ComPortList(DeviceSource& source, base::Dialogs& dialogs, ComPortListView& view,
              std::string makerWebAddress, std::function<void()> portChosen);

  // Fills the list and selects the only entry, or the one naming `comPortNumber`.
  void BuildComPortList(bool hideBluetooth, std::int16_t comPortNumber);

  // Shows the entry naming `comPortNumber` as chosen, without raising the click: the port
  // from the settings file is the one start-up opens. When no entry names it, the only
  // entry is chosen (and applied) as BuildComPortList would.
  void ShowChosenPort(std::int16_t comPortNumber);

  // The COM number in a list text: after its "(COM", or else after its first "COM"; 0 when
  // there is none.
  static std::int16_t PortNumberFromList(std::string_view text);
  // The number starting at `at`: blanks skipped, digits up to the first other character.
  static std::int32_t NumberAt(std::string_view text, std::size_t at);

  [[nodiscard]] std::string NoComPortText() const;

 private:
  // The names of the ports that may be offered, in the order listed; the platform's
  // failures are reported and give none.
  std::vector<std::string> OfferedNames(bool hideBluetooth);
  // The entry naming that COM number (the last one, should several), or -1.
  [[nodiscard]] int IndexOf(std::int16_t comPortNumber) const;
  // Selects an entry as a click would: the connection applies it.
  void Choose(int entry);

  DeviceSource& Source;
  base::Dialogs& Dialogs;
  ComPortListView& View;
  std::string MakerWebAddress;
  std::function<void()> PortChosen;
  std::vector<std::string> Listed;  // the entries, in list order
};

}  // namespace korvani::ports
