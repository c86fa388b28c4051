// SPDX-License-Identifier: GPL-3.0-or-later
// korvani: the command line, then the real serial port and window wired to the panel.
#include <QApplication>
#include <QFont>
#include <QIcon>
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/version.h"
#include "platform/flood_memory.h"
#include "ui/headless_run.h"
#include "ui/korvani_app.h"
#include "ui/session_end.h"

int main(int argc, char* argv[]) {
  korvani::platform::PrepareMemoryForFloods();
  using korvani::app::CommandLine;
  const CommandLine line = korvani::app::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  switch (line.What) {
    case CommandLine::Outcome::Help:
      std::fputs(korvani::app::UsageText().c_str(), stdout);
      return 0;
    case CommandLine::Outcome::Version:
      std::printf("Korvani %s\n%s\n", korvani::app::VersionText().c_str(), korvani::app::kLicenceText);
      return 0;
    case CommandLine::Outcome::Refused:
      std::fprintf(stderr, "%s\n", line.Refusal.c_str());
      return 2;
    case CommandLine::Outcome::Run:
      break;
  }
  if (line.Options.Headless) {
    return korvani::ui::RunHeadless(line.Options, argc, argv);  // no display needed, none opened
  }
  QApplication application(argc, argv);
  QIcon icon;
  for (const char* size : {"16", "32", "48", "256"}) {
    icon.addFile(QStringLiteral(":/korvani/korvani-%1.png").arg(QLatin1String(size)));
  }
  QApplication::setWindowIcon(icon);
  QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
  korvani::ui::KorvaniApp program(line.Options);
  program.Start();
  korvani::ui::CloseOnSessionEnd(program.Window());
  return QApplication::exec();
}
