// The serial connection on the settings tab: which COM port, which speed and character
// format, whether it is open, and the status line that says so.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "terminal/serial_port.h"

namespace korvani::terminal {

// Option captions carry the values: the baud rate from the third character, the format
// from the fourth.
inline constexpr std::array<std::string_view, 8> kBaudCaptions = {"0: 300",  "1: 600",  "2: 1200", "3: 2400",
                                                                  "4: 4800", "5: 9600", "6:19200", "7:38400"};
inline constexpr std::array<std::string_view, 5> kCharacterCaptions = {"0: N,8,1", "1: E,7,1", "2: O,7,1",
                                                                       "3: E,8,1", "4: O,8,1"};
inline constexpr std::int16_t kStartBaudIndex = 7;
inline constexpr std::int16_t kStartCharIndex = 0;

class ConnectionView {
 public:
  virtual ~ConnectionView() = default;
  // Select an option without raising its click event.
  virtual void SelectBaudOption(std::int16_t index) = 0;
  virtual void SelectCharacterOption(std::int16_t index) = 0;
  // chkComPortOpen, the "Open" button that stays down.
  [[nodiscard]] virtual bool OpenChecked() const = 0;
  virtual void SetOpenChecked(bool checked) = 0;
  // The first status panel, and beside it why a port is closed (empty when it is open).
  virtual void ShowConnectionStatus(std::string_view status) = 0;
  virtual void ShowConnectionProblem(std::string_view problem) = 0;
};

class Connection {
 public:
  // `portNumberFromList` reads the COM number of the list's current entry.
  Connection(SerialPort& port, ConnectionView& view, std::int16_t& comPortNumber,
             std::function<std::int16_t()> portNumberFromList);

  void ApplyPortSettings(bool portAlreadySet);
  void SelectCommsOptions();

  void ApplyOpenButton() { ApplyPortSettings(true); }
  void ApplyChosenPort() { ApplyPortSettings(false); }
  void ChooseBaud(std::int16_t index);
  void ChooseFormat(std::int16_t index);

  // Start-up: the port number as loaded, the settings applied, then the port opened and
  // "Open" ticked or not by the outcome.
  void OpenAtStartUp();
  // Once a second: a port that went away while "Open" is down is opened again as soon as
  // it is back.
  void WatchPort();
  // After the receive path reset the port for an error: show how that went.
  void ShowState();

  // "9600,N,8,1" from the selected options.
  [[nodiscard]] std::string SettingsString() const;
  [[nodiscard]] std::string StatusText() const;

  std::int16_t BaudIndex = kStartBaudIndex;
  std::int16_t CharIndex = kStartCharIndex;

 private:
  SerialPort& Port;
  ConnectionView& View;
  std::int16_t& ComPortNumber;
  std::function<std::int16_t()> PortNumberFromList;
  bool ApplyGuard = false;
};

}  // namespace korvani::terminal
