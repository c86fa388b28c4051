// SPDX-License-Identifier: GPL-3.0-or-later
// The program around a session: the settings files, the folders, the version check, the
// help page and problem reports, and the start-up in its fixed order. What belongs to one
// connection is the Session's (Current()).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/app_folders.h"
#include "app/panel_view.h"
#include "app/platform.h"
#include "app/problems.h"
#include "app/session.h"
#include "app/settings.h"
#include "app/settings_store.h"
#include "app/version_check.h"

namespace korvani::app {

class Panel {
 public:
  Panel(const Platform& platform, const PanelViews& views);
  // One view for everything, as a test's fake is.
  Panel(const Platform& platform, PanelView& view) : Panel(platform, view.Views()) {}
  Panel(const Panel&) = delete;
  Panel& operator=(const Panel&) = delete;

  // Loading the main window: every start-up step, strictly in order.
  void FormLoad();
  // Reads the settings file into the window; stops at the first line it cannot take.
  void LoadSettings();
  // The settings kept beside that file: the line's, the Tx lines' periodic send, the
  // receive view's; the command line's choices over them.
  void LoadLineSettings();
  // Writes the settings file (the window then closes and the program ends).
  void SaveSettings();
  [[nodiscard]] SettingsValues CurrentSettings();
  // A double click on Label1 opens the help page.
  void OpenHelpPage();

  // The session of the board this window shows.
  Session& Current() { return Board; }
  [[nodiscard]] const Session& Current() const { return Board; }
  const AppFolders& Folders() const { return AppPaths; }

  // A port named on the command line (--port, --demo): chosen at start-up over the saved one.
  void SetCommandLinePort(std::int16_t comNumber) { CommandLinePort = comNumber; }
  // --baud, --format, --flow, --dtr and --rts: they replace the saved settings at start-up.
  void SetCommandLineLine(const ports::LineOptions& options) { CommandLineLine = options; }
  // --no-update-check: no version check at this start, and the box unticked (and so saved).
  void SetCommandLineNoUpdateCheck() { CommandLineNoUpdateCheck = true; }
  // --scrollback: replaces the saved choice at start-up.
  void SetCommandLineScrollback(std::optional<terminal::Scrollback> scrollback) {
    CommandLineScrollback = scrollback;
  }
  // "Check for a newer version at start", saved for the next start.
  void SetUpdateCheck(bool on) { UpdateCheckOn = on; }
  // The console's choices as the user set them, saved for the next start.
  void SetConsoleOptions(const ConsoleOptions& options) { ConsoleChoices = options; }
  // The Script tab's choices, loaded at start-up and saved for the next start.
  [[nodiscard]] const ScriptChoices& Scripts() const { return ScriptsKept; }
  void SetScripts(const ScriptChoices& choices) { ScriptsKept = choices; }
  // A session other than the program's first (a further window, or a program started while
  // another runs): its settings are kept per port (Ports/Port-COM201/ beside the settings file),
  // the files it writes add its first port to their names ("ASCII_logfile-COM201.log"), its
  // caption names its port, and the program's own choices and the version check stay the
  // first's. Set before FormLoad.
  void SetFurtherSession() { Further = true; }
  // "New window": the saved port is not opened at start-up; the user picks one.
  void SetStartWithoutPort() { StartWithoutPort = true; }

 private:
  bool ApplySettingsLineToWindow(int line, std::string_view text);
  // Options.ini and the command line's --no-update-check, before the version check's step.
  void LoadOptions();
  // A further session's caption, file names and settings folder once it has a port.
  void FurtherPortApplied(std::int16_t comNumber);

  PanelViews Views;
  std::function<void(const std::string& url)> OpenWebPage;
  std::string HelpUrl;
  AppFolders AppPaths;
  SettingsStore Store{AppPaths};
  Problems ProblemReports;
  VersionCheck Updates;
  Session Board;                     // after the problem reports it uses
  bool SettingsNamesInAnsi = false;  // the settings file's names are written back as they were read
  std::int16_t CommandLinePort = 0;
  ports::LineOptions CommandLineLine;
  std::optional<terminal::Scrollback> CommandLineScrollback;
  bool UpdateCheckOn = true;
  ConsoleOptions ConsoleChoices;
  ScriptChoices ScriptsKept;
  bool CommandLineNoUpdateCheck = false;
  bool Further = false;
  bool StartWithoutPort = false;
  bool NamesGiven = false;  // a further session's file names carry its port
};

}  // namespace korvani::app
