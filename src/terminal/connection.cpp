#include "terminal/connection.h"
#include "base/text.h"

namespace korvani::terminal {

Connection::Connection(SerialPort& port, ConnectionView& view, std::int16_t& comPortNumber,
                       std::function<std::int16_t()> portNumberFromList)
    : Port(port),
      View(view),
      ComPortNumber(comPortNumber),
      PortNumberFromList(std::move(portNumberFromList)) {}

std::string Connection::SettingsString() const {
  const std::string_view baud =
      base::TrimBlanks(kBaudCaptions.at(static_cast<std::size_t>(BaudIndex)).substr(2));
  const std::string_view format = kCharacterCaptions.at(static_cast<std::size_t>(CharIndex)).substr(3);
  return std::string(baud) + "," + std::string(format);
}

std::string Connection::StatusText() const {
  if (Port.IsOpen()) {
    return "COM" + std::to_string(Port.PortNumber()) + ": " + Port.Settings() + " Open";
  }
  return "? " + Port.Settings() + " Closed";
}

void Connection::ShowState() {
  View.ShowConnectionStatus(StatusText());
  View.ShowConnectionProblem(Port.IsOpen() ? std::string() : Port.LastError());
}

void Connection::ApplyPortSettings(bool portAlreadySet) {
  if (ApplyGuard) {
    return;
  }
  ApplyGuard = true;
  bool wasOpen = Port.IsOpen();
  if (wasOpen) {
    Port.SetOpen(false);
  }
  Port.SetSettings(SettingsString());
  if (!portAlreadySet) {
    ComPortNumber = PortNumberFromList ? PortNumberFromList() : ComPortNumber;
    Port.SetPortNumber(ComPortNumber);
  }
  if (View.OpenChecked() && ComPortNumber != 0) {
    Port.SetOpen(true);
  } else {
    Port.SetOpen(false);
    View.SetOpenChecked(false);
    wasOpen = false;
  }
  if (!Port.IsOpen()) {
    View.SetOpenChecked(false);
  }
  ShowState();
  if (wasOpen) {
    Port.SetOpen(true);  // a second try for a port that was open before the change
  }
  ApplyGuard = false;
}

void Connection::SelectCommsOptions() {
  View.SelectBaudOption(BaudIndex);
  ChooseBaud(BaudIndex);
  View.SelectCharacterOption(CharIndex);
  ChooseFormat(CharIndex);
}

void Connection::ChooseBaud(std::int16_t index) {
  BaudIndex = index;
  ApplyPortSettings(false);
}

void Connection::ChooseFormat(std::int16_t index) {
  CharIndex = index;
  ApplyPortSettings(false);
}

void Connection::OpenAtStartUp() {
  Port.SetPortNumber(ComPortNumber);
  ApplyPortSettings(true);
  const bool opened = ComPortNumber != 0 && Port.SetOpen(true);
  View.SetOpenChecked(opened);
  ShowState();
}

void Connection::WatchPort() {
  if (ApplyGuard || !View.OpenChecked() || ComPortNumber == 0) {
    return;
  }
  if (!Port.IsOpen() && Port.SetOpen(true)) {
    ShowState();
  }
}

}  // namespace korvani::terminal
