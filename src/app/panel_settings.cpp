// SPDX-License-Identifier: GPL-3.0-or-later
// The program's settings: the files read at start-up and applied to the window and the
// session, and what is written back at close.
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
  ApplySettingToSession(Board, line, values);
  return true;
}

SettingsValues Panel::CurrentSettings() {
  SettingsValues values = SessionSettings(Board);
  values.NamesInAnsi = SettingsNamesInAnsi;
  return values;
}

void Panel::SaveSettings() {
  if (Further) {
    const std::int16_t port = Board.Connection().PortNumber();
    if (port == 0) {
      return;  // kept per port, and there is none
    }
    AppPaths.SetPortFolder(port);
  }
  if (!ProblemReports.CreatePath(AppPaths.SessionFolder(), "INI file", "100201-2")) {
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
      {ports::LineSettingsRecord{Board.Connection().Line(), values.BaudIndex, values.CharIndex},
       Board.Transmit().Repeats(), Board.ViewKeeps(),
       Further ? std::nullopt
               : std::optional<ProgramOptions>(
                     ProgramOptions{UpdateCheckOn, Board.Transmit().Ending(), ConsoleChoices, ScriptsKept})});
  if (!unsaved.empty()) {
    std::string files;
    for (const std::string& file : unsaved) {
      files += "\r\n" + file;
    }
    ProblemReports.ShowProblem("Unable to save these settings; the next start will not have them:" + files);
  }
}

void Panel::LoadOptions() {
  const ProgramOptions options = Store.ReadBeside().Options.value_or(ProgramOptions{});
  UpdateCheckOn = options.UpdateCheck && !CommandLineNoUpdateCheck;
  Views.Settings.SetCheckBox(SettingsCheck::UpdateCheck, UpdateCheckOn);
  Board.Transmit().SetLineEnd(options.TxLineEnd);
  ConsoleChoices = options.Console;
  ScriptsKept = options.Scripts;
  Views.Terminal.ShowConsoleOptions(ConsoleChoices);
}

// The full line settings beside the 16-line file, when that file's speed and format lines
// are still the ones written with them: a reader of the 16 lines alone may have changed them
// since, and then its choice stands. Then the command line's line options, which are kept as
// a choice made on the Settings tab is; and the Tx lines' periodic send from its own file.
void Panel::LoadLineSettings() {
  const SettingsBeside saved = Store.ReadBeside();
  ports::LineSettings line = Board.Connection().Line();
  if (saved.Line && saved.Line->BaudIndexWritten == Board.Connection().BaudIndex() &&
      saved.Line->FormatIndexWritten == Board.Connection().CharIndex()) {
    line = saved.Line->Line;
  }
  ports::ApplyLineOptions(CommandLineLine, line);
  if (line != Board.Connection().Line()) {
    Board.Connection().LoadLine(line);
  }
  // The Tx lines' periodic send as it was left (a missing or damaged file: none).
  if (saved.Repeats) {
    for (int i = 0; i < terminal::kTxLineCount; ++i) {
      Board.Transmit().SetRepeat(i, saved.Repeats->at(static_cast<std::size_t>(i)));
    }
  }
  // What the receive view keeps (a missing or damaged file: the default).
  Board.ChooseScrollback(CommandLineScrollback.value_or(saved.ViewKeeps.value_or(Board.ViewKeeps())).Text());
}

}  // namespace korvani::app
