// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's settings: the files read at start-up and applied to the window, and what is
// written back at close.
#include "app/panel.h"

#include "base/files.h"
#include "base/hex_notation.h"
#include "base/text.h"
#include "ports/added_ports.h"

namespace korvani::app {

void Panel::LoadSettings() {
  Store.ReadSettingsFile(
      [this](int line, std::string_view text) { return ApplySettingsLineToWindow(line, text); });
}

bool Panel::ApplySettingsLineToWindow(int line, std::string_view text) {
  SettingsValues values = CurrentSettings();
  if (!ApplySettingsLine(values, line, text)) {
    return false;
  }
  SettingsNamesInAnsi = values.NamesInAnsi;
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
  return true;
}

SettingsValues Panel::CurrentSettings() const {
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
  values.NamesInAnsi = SettingsNamesInAnsi;
  return values;
}

void Panel::SaveSettings() {
  if (!ProblemReports.CreatePath(AppPaths.IniFolder(), "INI file", "100201-2")) {
    return;
  }
  const SettingsValues values = CurrentSettings();
  if (!Store.WriteSettingsFile(values)) {
    ProblemReports.ShowProblem(
        "Unable to open " + AppPaths.IniFilePath() +
        " to update it.\r\nPerhaps you have it opened in another application?\r\nplease "
        "report error code 120201-0 to Vexel Vavadivu");
    return;
  }
  const std::vector<std::string> unsaved = Store.WriteBeside(
      {terminal::LineSettingsRecord{PortConnection.Line(), values.BaudIndex, values.CharIndex},
       TxLines.Repeats(), ViewKeeps, ProgramOptions{UpdateCheckOn, TxLines.Ending(), ConsoleChoices}});
  if (!unsaved.empty()) {
    std::string files;
    for (const std::string& file : unsaved) {
      files += "\r\n" + file;
    }
    ProblemReports.ShowProblem("Unable to save these settings; the next start will not have them:" + files);
  }
}

bool Panel::ChooseScrollback(std::string_view typed) {
  const std::optional<terminal::Scrollback> chosen = terminal::ParseScrollback(typed);
  if (chosen) {
    ViewKeeps = *chosen;
    KeepHistory();
  }
  Views.Settings.ShowScrollback(ViewKeeps);
  return chosen.has_value();
}

void Panel::LoadOptions() {
  const ProgramOptions options = Store.ReadBeside().Options.value_or(ProgramOptions{});
  UpdateCheckOn = options.UpdateCheck && !CommandLineNoUpdateCheck;
  Views.Settings.SetCheckBox(SettingsCheck::UpdateCheck, UpdateCheckOn);
  TxLines.SetLineEnd(options.TxLineEnd);
  ConsoleChoices = options.Console;
  Views.Terminal.ShowConsoleOptions(ConsoleChoices);
}

void Panel::KeepHistory() {
  const bool seen = TerminalAvailable.value_or(true);
  RxPath.SetHistoryLimits(seen ? ViewKeeps.Limits()
                               : terminal::Scrollback{terminal::kFewestScrollbackCharacters, true}.Limits());
}

// The full line settings beside the 16-line file, when that file's speed and format lines
// are still the ones written with them: a reader of the 16 lines alone may have changed them
// since, and then its choice stands. Then the command line's line options, which are kept as
// a choice made on the Settings tab is; and the Tx lines' periodic send from its own file.
void Panel::LoadLineSettings() {
  const SettingsBeside saved = Store.ReadBeside();
  terminal::LineSettings line = PortConnection.Line();
  if (saved.Line && saved.Line->BaudIndexWritten == PortConnection.BaudIndex() &&
      saved.Line->FormatIndexWritten == PortConnection.CharIndex()) {
    line = saved.Line->Line;
  }
  terminal::ApplyLineOptions(CommandLineLine, line);
  if (line != PortConnection.Line()) {
    PortConnection.LoadLine(line);
  }
  // The Tx lines' periodic send as it was left (a missing or damaged file: none).
  if (saved.Repeats) {
    for (int i = 0; i < terminal::kTxLineCount; ++i) {
      TxLines.SetRepeat(i, saved.Repeats->at(static_cast<std::size_t>(i)));
    }
  }
  // What the receive view keeps (a missing or damaged file: the default).
  ChooseScrollback(CommandLineScrollback.value_or(saved.ViewKeeps.value_or(ViewKeeps)).Text());
}

}  // namespace korvani::app
