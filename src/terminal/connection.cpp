// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/connection.h"

#include "base/text.h"

namespace korvani::terminal {

Connection::Connection(ports::SerialPort& port, ConnectionView& view,
                       std::function<std::int16_t()> portNumberFromList)
    : Port(port), View(view), PortNumberFromList(std::move(portNumberFromList)), ChosenLine(port.Line()) {}

std::string Connection::StatusText() const {
  // The port's settings as it has them, and the flow control where it is on; none for a port
  // without a line of its own (a network port, a replay).
  std::string settings;
  if (ChosenLine != nullptr) {
    settings.append(ports::SettingsText(CurrentLine)).append(ports::FlowSuffix(CurrentLine.Flow)).append(" ");
  }
  if (Port.IsOpen()) {
    return "COM" + std::to_string(Port.PortNumber()) + ": " + settings + "Open";
  }
  return "? " + settings + "Closed";
}

void Connection::ShowState() {
  View.ShowConnectionStatus(StatusText());
  View.ShowConnectionProblem(Port.LastError());
  View.ShowLineApplies(ChosenLine != nullptr);
  ShowLines(true);
}

void Connection::ShowLines(bool always) {
  const bool open = Port.IsOpen();
  const bool hasLines = open && ChosenLine != nullptr && ChosenLine->HasControlLines();
  const ports::ControlLines lines = hasLines ? ChosenLine->Lines() : ports::ControlLines{};
  if (always || lines != LinesShown || open != LinesShownOpen) {
    LinesShown = lines;
    LinesShownOpen = open;
    View.ShowControlLines(lines, open, CurrentLine.Flow == ports::FlowControl::RtsCts, hasLines);
  }
}

void Connection::WatchLines() {
  ShowLines(false);
}

void Connection::SetDtr(bool on) {
  if (ChosenLine != nullptr) {
    ChosenLine->SetDtr(on);
  }
  ShowLines(true);  // the toggle shows what the line is, whatever was asked
}

void Connection::SetRts(bool on) {
  if (ChosenLine != nullptr && CurrentLine.Flow != ports::FlowControl::RtsCts) {
    ChosenLine->SetRts(on);
  }
  ShowLines(true);
}

bool Connection::SendBreak(int milliseconds) {
  return ChosenLine != nullptr && ChosenLine->SendBreak(milliseconds);
}

void Connection::ApplyPortSettings(bool portAlreadySet, bool lineChanged) {
  if (ApplyGuard) {
    return;
  }
  ApplyGuard = true;
  // A port that a line setting kept from opening ("Open" released by the refusal, not by the
  // user) is opened again by the next change of the line: setting it back reopens the port.
  if (lineChanged && RefusedOpen && !View.OpenChecked()) {
    View.SetOpenChecked(true);
  }
  const bool wanted = View.OpenChecked();
  bool wasOpen = Port.IsOpen();
  if (wasOpen) {
    Port.SetOpen(false);
  }
  if (!portAlreadySet) {
    ComPortNumber = PortNumberFromList ? PortNumberFromList() : ComPortNumber;
    Port.SetPortNumber(ComPortNumber);
  }
  ChosenLine = Port.Line();  // the port chosen has a line of its own, or none
  if (ChosenLine != nullptr) {
    ChosenLine->SetLine(CurrentLine);
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
  RefusedOpen = wanted && ComPortNumber != 0 && !Port.IsOpen();
  ShowState();
  if (wasOpen) {
    Port.SetOpen(true);  // a second try for a port that was open before the change
  }
  ApplyGuard = false;
}

void Connection::SelectCommsOptions() {
  ChooseLine(CurrentLine);
}

void Connection::ChooseBaud(std::int16_t index) {
  ports::LineSettings line = CurrentLine;
  ports::ApplyQuickBaud(line, index);
  ChooseLine(line);
}

void Connection::ChooseFormat(std::int16_t index) {
  ports::LineSettings line = CurrentLine;
  ports::ApplyQuickFormat(line, index);
  ChooseLine(line);
}

void Connection::ChooseLine(const ports::LineSettings& line) {
  CurrentLine = line;
  View.ShowLineSettings(CurrentLine);
  ApplyPortSettings(false, true);
}

void Connection::LoadLine(const ports::LineSettings& line) {
  CurrentLine = line;
  View.ShowLineSettings(CurrentLine);
  ApplyPortSettings(true);
}

bool Connection::ChooseSpeedText(std::string_view typed) {
  const std::optional<std::int32_t> baud = ports::ParseBaud(typed);
  if (!baud) {
    View.ShowLineSettings(CurrentLine);  // the box shows the speed in use again
    View.ShowConnectionProblem("\"" + std::string(base::TrimBlanks(typed)) +
                               "\" is not a speed: type a whole number of baud from 1 to 100000000");
    return false;
  }
  if (*baud == CurrentLine.Baud) {
    View.ShowLineSettings(CurrentLine);  // picked from the list and Enter: one change, once
    return true;
  }
  ports::LineSettings line = CurrentLine;
  line.Baud = *baud;
  ChooseLine(line);
  return true;
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
