// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/korvani_app.h"

#include <qcustomplot.h>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <ctime>

#include "adapters/qt_child_process.h"
#include "adapters/qt_sources.h"
#include "adapters/qt_timer.h"
#include "adapters/qt_web.h"
#include "app/start_options.h"
#include "platform/platform_device_source.h"

namespace korvani::ui {

namespace {

// The intro text beside the program, else in the installed program's data folder.
std::string SplashFilePath() {
  const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/splash_message.txt");
  if (QFileInfo::exists(beside)) {
    return beside.toStdString();
  }
  return std::string(KORVANI_DATA_DIR) + "/splash_message.txt";
}

// Where the settings live, as the panel finds them.
app::AppFolders Folders() {
  return app::AppFolders([](const char* name) { return qEnvironmentVariable(name).toStdString(); });
}

// A build setting that an environment variable of the same name overrides.
std::string Setting(const char* name, const char* builtIn) {
  const QString value = qEnvironmentVariable(name);
  return value.isEmpty() ? std::string(builtIn) : value.toStdString();
}

}  // namespace

KorvaniApp::KorvaniApp(const app::StartOptions& options)
    : Options(options),
      MachineDevices(platform::MakePlatformDeviceSource(Folders().PortIdentitiesFilePath())),
      Random(static_cast<std::mt19937::result_type>(std::time(nullptr))) {
  Devices = std::make_unique<ports::AddedPorts>(*MachineDevices, Folders().NetworkPortsFilePath());
  if (Options.Demo) {
    Devices->AddUserPort(std::string(ports::kDemoScheme));
  }
  // A program started while another runs leaves the other's files alone.
  const QString settingsFolder = QString::fromStdString(Folders().IniFolder());
  QDir().mkpath(settingsFolder);
  SettingsLock = std::make_unique<QLockFile>(settingsFolder + QStringLiteral("Korvani.lock"));
  const bool firstProgram = SettingsLock->tryLock(0);
  First = MakeWindow();
  if (!firstProgram) {
    First->Panel->SetFurtherSession();
    First->Frame.statusBar()->showMessage(
        QStringLiteral("Another Korvani is running: this one keeps its settings per port and adds its port "
                       "to the names of the files it writes."));
  }
  if (const QString trace = qEnvironmentVariable("KORVANI_PAINT_TRACE"); !trace.isEmpty()) {
    const FrmTerminalUi ui = First->Frame.Ui();
    Paints = std::make_unique<PaintTrace>(trace.toStdString());
    Paints->Watch(ui.picHMI1);                 // the panel's screen
    Paints->Watch(ui.txtRxData->viewport());   // the receive pane
    Paints->Watch(ui.txtConsole->viewport());  // the console
    Paints->Watch(ui.picPlot);                 // the plot
  }
}

KorvaniApp::~KorvaniApp() = default;

std::unique_ptr<KorvaniApp::SessionWindow> KorvaniApp::MakeWindow() {
  auto window = std::make_unique<SessionWindow>();
  FrmTerminal& frame = window->Frame;
  window->SerialDevice.SetFaultReport(frame.Faults());
  window->SerialDevice.SetPathResolver([this](std::int16_t number) { return Devices->DevicePath(number); });
  const app::Platform platform{
      .Port = window->SerialDevice,
      .Surface = frame.Surface(),
      .Dialogs = window->Dialogs,
      .Devices = *Devices,
      .Clock = Clock,
      .MakeTimer = [this, &frame] { return MakeTimer(frame); },
      .OpenWebPage =
          [](const std::string& url) { QDesktopServices::openUrl(QUrl(QString::fromStdString(url))); },
      .MakerWebAddress = KORVANI_MAKER_WEB_ADDRESS,
      .GetEnv = [](const char* name) { return qEnvironmentVariable(name).toStdString(); },
      .Random = [this] { return std::uniform_real_distribution<double>(0.0, 1.0)(Random); },
      .SplashFile = SplashFilePath(),
      .FetchPage = FetchWithQt(Network, frame.Faults()),
      .ProductUrl = Setting("KORVANI_PRODUCT_URL", KORVANI_PRODUCT_URL),
      .HelpUrl = Setting("KORVANI_HELP_URL", KORVANI_HELP_URL),
      .MakeChild = [] { return std::make_unique<QtChildProcess>(); },
      .FindProgram = [](std::string_view name) { return QtChildProcess::Find(name); },
      .DownloadsFolder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation).toStdString(),
      .Sources = SourceMakers(frame)};
  window->Panel = std::make_unique<app::Panel>(platform, frame.Views());
  window->Script = std::make_unique<scripting::SessionScript>(
      window->Panel->Current(), MakeTimer(frame), base::SteadyMicroseconds, scripting::ScriptHooks{});
  frame.Attach(*window->Panel, *window->Script);
  frame.SetNewWindow([this] { OpenWindow(); });
  frame.SetClosed([this, session = window.get()] { Closed(session); });
  return window;
}

std::vector<ports::SourceMaker> KorvaniApp::SourceMakers(FrmTerminal& window) {
  return QtSourceMakers(window.Faults(), Options.ReplaySpeed);
}

std::unique_ptr<base::Timer> KorvaniApp::MakeTimer(FrmTerminal& window) {
  return std::make_unique<QtTimer>(window.Faults());
}

void KorvaniApp::Start() {
  app::Panel& panel = *First->Panel;
  app::TakeFirstSessionOptions(panel, *Devices, Options);
  panel.FormLoad();
  FrmTerminal& window = First->Frame;
  window.show();
  if (Options.FullScreen) {
    window.SetFullScreen(true);
  } else if (Options.Console) {
    window.ShowConsole();
  } else if (Options.Plot) {
    window.ShowPlot();
  }
  if (!Options.ScriptPath.empty()) {  // in sight, run as a person would run it
    window.SelectTab(app::kScriptTab);
    if (window.Scripts().OpenScript(QString::fromStdString(Options.ScriptPath))) {
      window.Scripts().Run();
    }
  }
  for (const app::MorePort& port : Options.MorePorts) {
    OpenWindow(port.Path, port.Line);
  }
}

void KorvaniApp::OpenWindow(const std::string& portPath, const ports::LineOptions& line) {
  More.push_back(MakeWindow());
  SessionWindow& window = *More.back();
  app::Panel& panel = *window.Panel;
  panel.SetFurtherSession();
  panel.SetCommandLineNoUpdateCheck();
  if (!portPath.empty()) {
    panel.SetCommandLinePort(Devices->AddUserPort(portPath));
  } else {
    panel.SetStartWithoutPort();
  }
  panel.SetCommandLineLine(line);
  app::TakeSessionOptions(panel, Options);
  panel.FormLoad();
  window.Frame.show();
  if (portPath.empty()) {
    window.Frame.SelectTab(app::kSettingsTab);  // where its port is picked
  }
}

void KorvaniApp::Closed(SessionWindow* window) {
  window->Script->Stop();
  window->Panel->Current().End();
  if (window == First.get()) {
    return;  // the first stays built until the program ends
  }
  QTimer::singleShot(0, &First->Frame, [this, window] {
    std::erase_if(More, [window](const std::unique_ptr<SessionWindow>& one) { return one.get() == window; });
  });
}

}  // namespace korvani::ui
