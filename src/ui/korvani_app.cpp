// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/korvani_app.h"

#include <qcustomplot.h>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>
#include <ctime>

#include "adapters/qt_child_process.h"
#include "adapters/qt_timer.h"
#include "adapters/qt_web.h"
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
      Dialogs(&MainWindow),
      Random(static_cast<std::mt19937::result_type>(std::time(nullptr))) {
  Devices = std::make_unique<ports::AddedPorts>(*MachineDevices, Folders().NetworkPortsFilePath());
  SerialDevice.SetFaultReport(MainWindow.Faults());
  SerialDevice.SetPathResolver([this](std::int16_t number) { return Devices->DevicePath(number); });
  if (Options.Demo) {
    Devices->AddUserPort(std::string(ports::kDemoScheme));
  }
  const app::Platform platform{
      .Port = SerialDevice,
      .Surface = MainWindow.Surface(),
      .Dialogs = Dialogs,
      .Devices = *Devices,
      .Clock = Clock,
      .MakeTimer = [this] { return MakeTimer(); },
      .OpenWebPage =
          [](const std::string& url) { QDesktopServices::openUrl(QUrl(QString::fromStdString(url))); },
      .MakerWebAddress = KORVANI_MAKER_WEB_ADDRESS,
      .GetEnv = [](const char* name) { return qEnvironmentVariable(name).toStdString(); },
      .Random = [this] { return std::uniform_real_distribution<double>(0.0, 1.0)(Random); },
      .SplashFile = SplashFilePath(),
      .FetchPage = FetchWithQt(Network, MainWindow.Faults()),
      .ProductUrl = Setting("KORVANI_PRODUCT_URL", KORVANI_PRODUCT_URL),
      .HelpUrl = Setting("KORVANI_HELP_URL", KORVANI_HELP_URL),
      .MakeChild = [] { return std::make_unique<QtChildProcess>(); },
      .FindProgram = [](std::string_view name) { return QtChildProcess::Find(name); },
      .DownloadsFolder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation).toStdString(),
      .Sources = SourceMakers()};
  HmiPanel = std::make_unique<app::Panel>(platform, MainWindow.Views());
  MainWindow.Attach(*HmiPanel);
  if (const QString trace = qEnvironmentVariable("KORVANI_PAINT_TRACE"); !trace.isEmpty()) {
    Paints = std::make_unique<PaintTrace>(trace.toStdString());
    Paints->Watch(MainWindow.Ui().picHMI1);                 // the panel's screen
    Paints->Watch(MainWindow.Ui().txtRxData->viewport());   // the receive pane
    Paints->Watch(MainWindow.Ui().txtConsole->viewport());  // the console
    Paints->Watch(MainWindow.Ui().picPlot);                 // the plot
  }
}

KorvaniApp::~KorvaniApp() = default;

std::vector<ports::SourceMaker> KorvaniApp::SourceMakers() {
  const auto scheme = [](std::string_view prefix) { return ports::SchemeByPrefix(prefix); };
  return {
      {scheme(ports::kNetworkScheme),
       [this](const ports::SourceNeeds& needs) -> std::unique_ptr<ports::SerialPort> {
         auto port = std::make_unique<QtNetworkPort>();
         port->SetFaultReport(MainWindow.Faults());
         port->SetPathResolver(needs.PathOf);
         return port;
       }},
      {scheme(ports::kReplayScheme),
       [this](const ports::SourceNeeds& needs) -> std::unique_ptr<ports::SerialPort> {
         auto replay = std::make_unique<terminal::ReplayPort>(
             MakeTimer(),
             [pathOf = needs.PathOf](std::int16_t number) {
               const std::string path = pathOf(number);
               return path.starts_with(ports::kReplayScheme) ? path.substr(ports::kReplayScheme.size())
                                                             : std::string();
             },
             base::SteadyMicroseconds);
         replay->SetSpeed(Options.ReplaySpeed);
         return replay;
       }},
      {scheme(ports::kDemoScheme),
       [this](const ports::SourceNeeds& needs) -> std::unique_ptr<ports::SerialPort> {
         auto board = std::make_unique<demo::DemoPort>(MakeTimer());
         board->SetPanelWritesLogs(needs.PanelWritesLogs);
         return board;
       }},
  };
}

std::unique_ptr<base::Timer> KorvaniApp::MakeTimer() {
  return std::make_unique<QtTimer>(MainWindow.Faults());
}

void KorvaniApp::Start() {
  if (!Options.PortPath.empty()) {
    // The named device (or network address) joins the port list and is the one opened at
    // start-up.
    HmiPanel->SetCommandLinePort(Devices->AddUserPort(Options.PortPath));
  }
  if (!Options.ReplayPath.empty()) {
    HmiPanel->SetCommandLinePort(
        Devices->AddUserPort(std::string(ports::kReplayScheme) + Options.ReplayPath));
  }
  if (Options.Demo) {
    HmiPanel->SetCommandLinePort(ports::kDemoPortNumber);
  }
  if (!Options.RecordPath.empty()) {
    HmiPanel->Current().StartRecording(Options.RecordPath);  // from the first byte
  }
  HmiPanel->SetCommandLineLine(Options.Line);
  HmiPanel->SetCommandLineScrollback(Options.Scrollback);
  if (Options.NoUpdateCheck) {
    HmiPanel->SetCommandLineNoUpdateCheck();
  }
  HmiPanel->Current().Receive().SetTimestamps(Options.Timestamps);
  HmiPanel->Current().Controls().SetTerminalMode(
      hmi::screen::PanelControls::TerminalModeFrom(Options.Arguments) || Options.Console);
  HmiPanel->FormLoad();
  MainWindow.show();
  if (Options.FullScreen) {
    MainWindow.SetFullScreen(true);
  } else if (Options.Console) {
    MainWindow.ShowConsole();
  } else if (Options.Plot) {
    MainWindow.ShowPlot();
  }
}

}  // namespace korvani::ui
