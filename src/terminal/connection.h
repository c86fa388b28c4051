// SPDX-License-Identifier: GPL-3.0-or-later
// The serial connection on the settings tab: which COM port, the line's settings (the quick
// speed and format choices and the full ones beside them), the control lines, whether it is
// open, and the status line that says so.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ports/line_settings.h"
#include "ports/serial_port.h"

namespace korvani::terminal {

// The quick options' captions, in the order of the board's eight speeds and five formats
// (the index is the choice; the captions are only shown).
inline constexpr std::array<std::string_view, 8> kBaudCaptions = {"0: 300",  "1: 600",  "2: 1200", "3: 2400",
                                                                  "4: 4800", "5: 9600", "6:19200", "7:38400"};
inline constexpr std::array<std::string_view, 5> kCharacterCaptions = {"0: N,8,1", "1: E,7,1", "2: O,7,1",
                                                                       "3: E,8,1", "4: O,8,1"};
// How long "Send break" holds the line.
inline constexpr int kBreakMilliseconds = 250;

class ConnectionView {
 public:
  virtual ~ConnectionView() = default;
  // Shows the settings without raising any click or change event: the quick options that
  // match (none where the speed or format is not one of them) and the full choices.
  virtual void ShowLineSettings(const ports::LineSettings& line) = 0;
  // The control lines' state while the port is open (all off when it is closed); the RTS
  // toggle is shown but not enabled while RTS/CTS flow control drives RTS. `hasLines` is
  // false for an open port without control lines: the toggles and "Send break" do nothing
  // there and say so.
  virtual void ShowControlLines(const ports::ControlLines& lines, bool portOpen, bool rtsByDriver,
                                bool hasLines) = 0;
  // chkComPortOpen, the "Open" button that stays down.
  [[nodiscard]] virtual bool OpenChecked() const = 0;
  virtual void SetOpenChecked(bool checked) = 0;
  // Whether the speed, format, flow control and control lines mean anything for the port
  // chosen (not for a network port or a replay): shown as not applicable when they do not.
  virtual void ShowLineApplies(bool applies) = 0;
  // The first status panel, and beside it the port's own note: why it is closed, or what
  // it is doing (connecting, replaying); empty when there is nothing to say.
  virtual void ShowConnectionStatus(std::string_view status) = 0;
  virtual void ShowConnectionProblem(std::string_view problem) = 0;
};

class Connection {
 public:
  // `portNumberFromList` reads the COM number of the list's current entry.
  Connection(ports::SerialPort& port, ConnectionView& view, std::function<std::int16_t()> portNumberFromList);

  // The COM port in use; 0 means none chosen. Set from the settings file, the command line
  // or an added port before it is applied; the list's entry sets it when a port is chosen.
  [[nodiscard]] std::int16_t PortNumber() const { return ComPortNumber; }
  void SetPortNumber(std::int16_t number) { ComPortNumber = number; }

  // `lineChanged`: the line's settings changed, so a port they kept from opening is tried again.
  void ApplyPortSettings(bool portAlreadySet, bool lineChanged = false);
  void SelectCommsOptions();

  void ApplyOpenButton() { ApplyPortSettings(true); }
  void ApplyChosenPort() { ApplyPortSettings(false); }
  // A quick option clicked.
  void ChooseBaud(std::int16_t index);
  void ChooseFormat(std::int16_t index);
  // A full choice made: speed, data bits, parity, stop bits, flow control or the lines on
  // open. Applied as a quick option is.
  void ChooseLine(const ports::LineSettings& line);
  // A speed typed in the speed box; false, with the reason shown, when it is not a speed.
  bool ChooseSpeedText(std::string_view typed);
  // Settings loaded (from the settings files or the command line): shown and applied as a
  // choice is, but the port number stays the one already set.
  void LoadLine(const ports::LineSettings& line);
  [[nodiscard]] const ports::LineSettings& Line() const { return CurrentLine; }
  [[nodiscard]] std::int16_t BaudIndex() const { return ports::QuickBaudIndex(CurrentLine.Baud); }
  [[nodiscard]] std::int16_t CharIndex() const { return ports::QuickFormatIndex(CurrentLine); }

  // The DTR and RTS toggles and "Send break" while the port is open.
  void SetDtr(bool on);
  void SetRts(bool on);
  // False when there is no port or it could not send one.
  bool SendBreak(int milliseconds = kBreakMilliseconds);
  // The control lines shown again when they changed (the indicators' poll).
  void WatchLines();

  // Start-up: the port number as loaded, the settings applied, then the port opened and
  // "Open" ticked or not by the outcome.
  void OpenAtStartUp();
  // Once a second: a port that went away while "Open" is down is opened again as soon as
  // it is back.
  void WatchPort();
  // After the receive path reset the port for an error: show how that went.
  void ShowState();

  // "9600,N,8,1" from the line's settings.
  [[nodiscard]] std::string SettingsString() const { return ports::SettingsText(CurrentLine); }
  [[nodiscard]] std::string StatusText() const;
  // "Open" is down and the port would not open with the line as set.
  [[nodiscard]] bool Refused() const { return RefusedOpen; }

 private:
  void ShowLines(bool always);

  ports::SerialPort& Port;
  ConnectionView& View;
  std::int16_t ComPortNumber = 0;
  std::function<std::int16_t()> PortNumberFromList;
  ports::SerialLine* ChosenLine;  // the chosen port's line, asked once the number is set; null for none
  bool ApplyGuard = false;
  bool RefusedOpen = false;  // "Open" was down and the port would not open with the line as set
  ports::LineSettings CurrentLine;
  ports::ControlLines LinesShown;
  bool LinesShownOpen = false;
};

}  // namespace korvani::terminal
