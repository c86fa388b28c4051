// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/panel.h"

#include "app/version.h"

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
  if (UpdateCheckOn) {
    Updates.Start();  // else the program contacts nothing unless the user asks it to
  }
  Views.Window.FitWidthToTabs();
  Board.Connection().SelectCommsOptions();
  // IntroShowing is true from the framer's start.
  LoadSettings();
  LoadLineSettings();
  if (CommandLinePort != 0) {
    Board.Connection().SetPortNumber(CommandLinePort);
  }
  Board.OpenAtStartUp();
  Board.StartScreen();
}

void Panel::OpenHelpPage() {
  if (OpenWebPage && !HelpUrl.empty()) {
    OpenWebPage(HelpUrl);
  }
}

}  // namespace korvani::app
