// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/headless_run.h"

#include <QCoreApplication>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <random>
#include <string>

#include "adapters/qt_child_process.h"
#include "adapters/qt_serial_port.h"
#include "adapters/qt_sources.h"
#include "adapters/qt_timer.h"
#include "app/panel.h"
#include "app/start_options.h"
#include "base/files.h"
#include "platform/platform_device_source.h"
#include "ports/added_ports.h"
#include "scripting/headless_views.h"
#include "scripting/session_script.h"

namespace korvani::ui {

namespace {

void Say(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
}

}  // namespace

int RunHeadless(const app::StartOptions& options, int argc, char* argv[]) {
  if (!base::FileExists(options.ScriptPath)) {
    Say(stderr, "korvani: --script " + options.ScriptPath + ": cannot read it");
    return 2;
  }
  QCoreApplication application(argc, argv);
  const auto problem = [](std::string_view said) { Say(stderr, "korvani: " + std::string(said)); };
  scripting::HeadlessView view(problem);
  scripting::HeadlessDialogs dialogs(problem);
  scripting::CellSurface surface;
  const app::AppFolders folders([](const char* name) { return qEnvironmentVariable(name).toStdString(); });
  const std::unique_ptr<ports::DeviceSource> machine =
      platform::MakePlatformDeviceSource(folders.PortIdentitiesFilePath());
  ports::AddedPorts devices(*machine, folders.NetworkPortsFilePath());
  if (options.Demo) {
    devices.AddUserPort(std::string(ports::kDemoScheme));
  }
  QtSerialPort serial;
  serial.SetPathResolver([&devices](std::int16_t number) { return devices.DevicePath(number); });
  base::SystemClock clock;
  std::mt19937 random(static_cast<std::mt19937::result_type>(std::time(nullptr)));
  const app::Platform platform{
      .Port = serial,
      .Surface = surface,
      .Dialogs = dialogs,
      .Devices = devices,
      .Clock = clock,
      .MakeTimer = [] { return std::make_unique<QtTimer>(); },
      .OpenWebPage = {},
      .MakerWebAddress = KORVANI_MAKER_WEB_ADDRESS,
      .GetEnv = [](const char* name) { return qEnvironmentVariable(name).toStdString(); },
      .Random = [&random] { return std::uniform_real_distribution<double>(0.0, 1.0)(random); },
      .SplashFile = {},
      .FetchPage = {},
      .ProductUrl = {},
      .HelpUrl = {},
      .MakeChild = [] { return std::make_unique<QtChildProcess>(); },
      .FindProgram = [](std::string_view name) { return QtChildProcess::Find(name); },
      .Sources = QtSourceMakers({}, options.ReplaySpeed)};
  app::Panel panel(platform, view.Views());
  app::TakeFirstSessionOptions(panel, devices, options);
  panel.SetCommandLineNoUpdateCheck();  // a headless run contacts nothing it was not told to
  const bool portNamed = !options.PortPath.empty() || !options.ReplayPath.empty() || options.Demo;
  if (!portNamed) {
    panel.SetStartWithoutPort();  // not the port the window last had: only what is named
  }
  panel.FormLoad();
  if (portNamed && !view.OpenChecked()) {
    Say(stderr, view.LastProblem().empty() ? "korvani: the port did not open"
                                           : "korvani: the port did not open (above)");
    return 2;
  }

  std::optional<int> exitCode;
  scripting::SessionScript script(panel.Current(), std::make_unique<QtTimer>(), base::SteadyMicroseconds,
                                  {[](std::string_view line) { Say(stdout, line); },
                                   [&exitCode](const script::RunStep& end) {
                                     if (end.State == script::RunState::Failed) {
                                       Say(stderr, end.Error);
                                     }
                                     exitCode = end.ExitCode;
                                     QCoreApplication::exit(end.ExitCode);
                                   }});
  script.Start(base::ReadWholeFile(options.ScriptPath), options.ScriptPath,
               {.AllowProcesses = panel.Scripts().RunPrograms});  // the Script tab's tick
  if (!exitCode) {
    QCoreApplication::exec();
  }
  panel.Current().End();
  return exitCode.value_or(1);
}

}  // namespace korvani::ui
