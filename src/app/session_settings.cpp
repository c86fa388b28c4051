// SPDX-License-Identifier: GPL-3.0-or-later
// A session's part of the settings file's lines (the port, its line, the logs' names and
// switches, the Tx lines) and what its receive view keeps.
#include "app/session.h"

namespace korvani::app {

void Session::ApplySetting(int line, const SettingsValues& values) {
  switch (line) {
    case 1:
      PortConnection.SetPortNumber(values.ComPortNumber);
      break;
    // Speed and format are recorded as a click would, but the port number stays the one
    // from line 1: the list may name no port yet, and reading it now would forget it.
    case 2:
    case 3: {
      terminal::LineSettings settings = PortConnection.Line();
      if (line == 2) {
        terminal::ApplyQuickBaud(settings, values.BaudIndex);
      } else {
        terminal::ApplyQuickFormat(settings, values.CharIndex);
      }
      PortConnection.LoadLine(settings);
      break;
    }
    case 4:
      LogTable.SetLogFolder(values.LogFolder);
      Views.Settings.ShowLogFolder(values.LogFolder);
      break;
    case 5:
      OnScreenLog.SetTraceFileName(values.TraceFileName);
      Views.Settings.SetTraceFileName(values.TraceFileName);
      break;
    case 6:
      RxPath.SetAsciiLogFileName(values.AsciiLogFileName);
      Views.Settings.SetAsciiLogFileName(values.AsciiLogFileName);
      break;
    case 7:
      RxPath.SetHexLogFileName(values.HexLogFileName);
      Views.Settings.SetHexLogFileName(values.HexLogFileName);
      break;
    case 8:
      OnScreenLog.SetTraceToDisk(values.TraceToDisk);
      Views.Screen.SetCheckBox(SettingsCheck::TraceToDisk, values.TraceToDisk);
      break;
    case 9:
      RxPath.SetAsciiLogging(values.LogAscii);
      Views.Terminal.SetCheckBox(SettingsCheck::LogAscii, values.LogAscii);
      break;
    case 10:
      RxPath.SetHexLogging(values.LogHex);
      Views.Terminal.SetCheckBox(SettingsCheck::LogHex, values.LogHex);
      break;
    case 16:
      TxLines.SetLogSent(values.LogSent);
      Views.Terminal.SetCheckBox(SettingsCheck::LogSent, values.LogSent);
      break;
    default: {
      const int index = line - 11;
      TxLines.LoadLine(index, values.TxLines[static_cast<std::size_t>(index)]);
      Views.Terminal.SetTxLine(index, TxLines.Lines()[static_cast<std::size_t>(index)]);
      break;
    }
  }
}

SettingsValues Session::CurrentSettings() const {
  SettingsValues values;
  values.ComPortNumber = PortConnection.PortNumber();
  // A speed or format that is none of the quick choices is recorded as the nearest of them;
  // the line settings file holds it exactly.
  values.BaudIndex = terminal::NearestQuickBaudIndex(PortConnection.Line().Baud);
  values.CharIndex = terminal::NearestQuickFormatIndex(PortConnection.Line());
  values.LogFolder = LogTable.MyLogFolder();
  values.TraceFileName = OnScreenLog.TraceFileName();
  const terminal::RxLogSettings& logs = RxPath.LogSettingsView();
  values.AsciiLogFileName = logs.AsciiFileName;
  values.HexLogFileName = logs.HexFileName;
  values.TraceToDisk = OnScreenLog.TraceToDiskChecked();
  values.LogAscii = logs.LogAscii;
  values.LogHex = logs.LogHex;
  values.TxLines = TxLines.Lines();
  values.LogSent = TxLines.LogSent();
  return values;
}

bool Session::ChooseScrollback(std::string_view typed) {
  const std::optional<terminal::Scrollback> chosen = terminal::ParseScrollback(typed);
  if (chosen) {
    Keeps = *chosen;
    KeepHistory();
  }
  Views.Settings.ShowScrollback(Keeps);
  return chosen.has_value();
}

void Session::KeepHistory() {
  const bool seen = TerminalAvailable.value_or(true);
  RxPath.SetHistoryLimits(seen ? Keeps.Limits()
                               : terminal::Scrollback{terminal::kFewestScrollbackCharacters, true}.Limits());
}

}  // namespace korvani::app
