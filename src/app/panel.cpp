// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/panel.h"

#include "app/version.h"
#include "base/files.h"

namespace korvani::app {

Panel::Panel(const Platform& platform, const PanelViews& views)
    : Views(views),
      OpenWebPage(platform.OpenWebPage),
      HelpUrl(platform.HelpUrl),
      AppPaths(platform.GetEnv),
      ProblemReports(platform.Dialogs, platform.Random),
      Updates(platform.Dialogs, platform.FetchPage, platform.OpenWebPage, platform.ProductUrl),
      Board(platform, views, ProblemReports) {}

void Panel::FormLoad() {
  Views.Window.SetCaption(WindowCaption());
  if (CommandLinePort != 0) {
    Board.Connection().SetPortNumber(CommandLinePort);
  }
  Board.ListPorts();
  Views.Window.SelectTab(kHmiTab);
  LoadOptions();
  if (UpdateCheckOn && !Further) {
    Updates.Start();  // else the program contacts nothing unless the user asks it to
  }
  Views.Window.FitWidthToTabs();
  Board.Connection().SelectCommsOptions();
  // IntroShowing is true from the framer's start. A further session's port brings back
  // what it had the last time; else it starts from the first session's settings.
  if (Further && CommandLinePort != 0) {
    AppFolders port = AppPaths;
    port.SetPortFolder(CommandLinePort);
    if (base::FileExists(port.IniFilePath())) {
      AppPaths = port;
      NamesGiven = true;
    }
  }
  LoadSettings();
  LoadLineSettings();
  if (Further) {  // the names loaded are the ones the port's are made from
    Board.SetPortApplied([this](std::int16_t comNumber) { FurtherPortApplied(comNumber); });
  }
  if (CommandLinePort != 0) {
    Board.Connection().SetPortNumber(CommandLinePort);
  } else if (StartWithoutPort) {
    Board.Connection().SetPortNumber(0);
  }
  Board.OpenAtStartUp();
  Board.StartScreen();
}

void Panel::FurtherPortApplied(std::int16_t comNumber) {
  if (comNumber == 0) {
    return;
  }
  const std::string suffix = "-COM" + std::to_string(comNumber);
  Views.Window.SetCaption(WindowCaption() + " - " + suffix.substr(1));
  Board.LogFiles().SetNameSuffix(suffix);  // the board's disk logs follow the port in use
  if (NamesGiven) {
    return;
  }
  NamesGiven = true;
  // A port picked in a new window brings back what it had the last time, as on the command line.
  AppFolders port = AppPaths;
  port.SetPortFolder(comNumber);
  if (base::FileExists(port.IniFilePath())) {
    AppPaths = port;
    LoadSettings();
    LoadLineSettings();
    return;
  }
  SettingsValues values = CurrentSettings();
  for (std::string* name : {&values.TraceFileName, &values.AsciiLogFileName, &values.HexLogFileName}) {
    *name = base::WithNameSuffix(*name, suffix);
  }
  for (const int line : kFileNameLines) {
    ApplySettingToSession(Board, line, values);
  }
}

void Panel::OpenHelpPage() {
  if (OpenWebPage && !HelpUrl.empty()) {
    OpenWebPage(HelpUrl);
  }
}

}  // namespace korvani::app
