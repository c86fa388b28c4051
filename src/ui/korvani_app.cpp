#include "ui/korvani_app.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>
#include <ctime>

#include "platform/platform_device_source.h"
#include "ui/qt_timer.h"
#include "ui/qt_web.h"

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

// A build setting that an environment variable of the same name overrides.
std::string Setting(const char* name, const char* builtIn) {
  const QString value = qEnvironmentVariable(name);
  return value.isEmpty() ? std::string(builtIn) : value.toStdString();
}

}  // namespace

KorvaniApp::KorvaniApp(const StartOptions& options)
    : Options(options),
      MachineDevices(platform::MakePlatformDeviceSource()),
      Dialogs(&MainWindow),
      Random(static_cast<std::mt19937::result_type>(std::time(nullptr))) {
  if (Options.Demo) {
    DemoDevices = std::make_unique<demo::DemoDeviceSource>(*MachineDevices);
    DemoBoardPort = std::make_unique<demo::DemoPort>(MakeTimer());
    Router = std::make_unique<demo::PortRouter>(SerialDevice, *DemoBoardPort);
  }
  SerialDevice.SetFaultReport(MainWindow.Faults());
  SerialDevice.SetPathResolver([this](std::int16_t number) { return Devices().DevicePath(number); });
  const app::Platform platform{
      .Port = PanelPort(),
      .Surface = MainWindow.Surface(),
      .Dialogs = Dialogs,
      .Devices = Devices(),
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
      .HelpUrl = Setting("KORVANI_HELP_URL", KORVANI_HELP_URL)};
  HmiPanel = std::make_unique<app::Panel>(platform, MainWindow);
  MainWindow.Attach(*HmiPanel);
  if (const QString trace = qEnvironmentVariable("KORVANI_PAINT_TRACE"); !trace.isEmpty()) {
    Paints = std::make_unique<PaintTrace>(trace.toStdString());
    Paints->Watch(MainWindow.Ui().picHMI1);                // the panel's screen
    Paints->Watch(MainWindow.Ui().txtRxData->viewport());  // the receive pane
  }
}

KorvaniApp::~KorvaniApp() = default;

std::unique_ptr<base::Timer> KorvaniApp::MakeTimer() {
  return std::make_unique<QtTimer>(MainWindow.Faults());
}

terminal::SerialPort& KorvaniApp::PanelPort() {
  if (Router) {
    return *Router;
  }
  return SerialDevice;
}

ports::DeviceSource& KorvaniApp::Devices() {
  if (DemoDevices) {
    return *DemoDevices;
  }
  return *MachineDevices;
}

void KorvaniApp::Start() {
  if (!Options.PortPath.isEmpty()) {
    // The named device joins the port list and is the one opened at start-up.
    HmiPanel->SetCommandLinePort(Devices().AddUserPort(Options.PortPath.toStdString()));
  }
  if (Options.Demo) {
    HmiPanel->SetCommandLinePort(demo::kDemoPortNumber);
  }
  HmiPanel->SetCommandLineLine(Options.Line);
  HmiPanel->SetCommandLineScrollback(Options.Scrollback);
  HmiPanel->Receive().SetTimestamps(Options.Timestamps);
  HmiPanel->Controls().SetTerminalMode(hmi::screen::PanelControls::TerminalModeFrom(Options.Arguments));
  HmiPanel->FormLoad();
  MainWindow.show();
  if (Options.FullScreen) {
    MainWindow.SetFullScreen(true);
  }
}

}  // namespace korvani::ui
