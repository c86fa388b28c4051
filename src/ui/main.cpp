// korvani: wires the real serial port and window to the panel and starts the event loop.
#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFont>
#include <QNetworkAccessManager>
#include <QSocketNotifier>
#include <QUrl>
#include <cstdio>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <vector>

#ifndef Q_OS_WIN
#include <sys/socket.h>
#include <unistd.h>
#include <csignal>
#endif

#include "app/panel.h"
#include "app/version.h"
#include "base/clock.h"
#include "ports/dev_lister.h"
#include "ui/frm_terminal.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_serial_port.h"
#include "ui/qt_timer.h"
#include "ui/qt_web.h"

namespace {

#ifndef Q_OS_WIN
int SignalPipe[2] = {-1, -1};

void OnSessionEnd(int /*signal*/) {
  const char byte = 1;
  [[maybe_unused]] const auto written = ::write(SignalPipe[1], &byte, 1);
}
#endif

// The session ending (SIGTERM, SIGHUP) is a close request like the window's own: the
// settings are saved and the program ends.
void CloseOnSessionEnd(QWidget& window) {
#ifndef Q_OS_WIN
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, SignalPipe) != 0) {
    return;
  }
  auto* notifier = new QSocketNotifier(SignalPipe[0], QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
    char byte = 0;
    [[maybe_unused]] const auto got = ::read(SignalPipe[0], &byte, 1);
    window.close();
  });
  struct sigaction action {};
  action.sa_handler = OnSessionEnd;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
#else
  (void)window;
#endif
}

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

void PrintUsage() {
  std::puts(
      "Usage: korvani [--port PATH] [/T]\n"
      "\n"
      "  --port PATH   add the serial device PATH to the port list and open it at start-up\n"
      "  /T            make the terminal functions available (the Terminal tab)\n"
      "  --version     show the version and exit\n"
      "  --help        show this help and exit\n"
      "\n"
      "Settings are kept in $XDG_CONFIG_HOME/Korvani_by_Vexel/INIFile/Vexel32.INI\n"
      "(~/.config/... when XDG_CONFIG_HOME is not set; %APPDATA%\\... on Windows).");
}

}  // namespace

int main(int argc, char* argv[]) {
  QString portPath;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      PrintUsage();
      return 0;
    }
    if (arg == "--version") {
      std::printf("Korvani %s\n", korvani::app::VersionText().c_str());
      return 0;
    }
    if (arg == "--port") {
      if (i + 1 >= argc) {
        std::fputs("korvani: --port needs a device path, for example --port /dev/ttyUSB0\n", stderr);
        return 2;
      }
      portPath = QString::fromLocal8Bit(argv[++i]);
    } else if (arg.rfind("--port=", 0) == 0) {
      portPath = QString::fromLocal8Bit(arg.substr(7).c_str());
    }
  }

  QApplication application(argc, argv);
  QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));

  const std::unique_ptr<korvani::ports::DeviceSource> devices = korvani::ports::MakePlatformDeviceSource();
  korvani::ui::QtSerialPort port;
  port.SetPathResolver([&devices](std::int16_t number) { return devices->DevicePath(number); });
  korvani::ui::FrmTerminal window;
  korvani::ui::QtDialogs dialogs(&window);
  const korvani::base::SystemClock clock;
  QNetworkAccessManager network;
  std::mt19937 random(static_cast<std::mt19937::result_type>(std::time(nullptr)));
  const korvani::app::Platform platform{
      .Port = port,
      .Surface = window.Surface(),
      .Dialogs = dialogs,
      .Devices = *devices,
      .Clock = clock,
      .MakeTimer =
          [] { return std::unique_ptr<korvani::base::Timer>(std::make_unique<korvani::ui::QtTimer>()); },
      .OpenWebPage =
          [](const std::string& url) { QDesktopServices::openUrl(QUrl(QString::fromStdString(url))); },
      .MakerWebAddress = KORVANI_MAKER_WEB_ADDRESS,
      .GetEnv = [](const char* name) { return qEnvironmentVariable(name).toStdString(); },
      .Random = [&random] { return std::uniform_real_distribution<double>(0.0, 1.0)(random); },
      .SplashFile = SplashFilePath(),
      .FetchPage = korvani::ui::FetchWithQt(network),
      .ProductUrl = Setting("KORVANI_PRODUCT_URL", KORVANI_PRODUCT_URL),
      .HelpUrl = Setting("KORVANI_HELP_URL", KORVANI_HELP_URL)};
  korvani::app::Panel panel(platform, window);
  window.Attach(panel);

  if (!portPath.isEmpty()) {
    // The named device joins the port list and is the one opened at start-up.
    panel.CommandLinePort = devices->AddUserPort(portPath.toStdString());
  }
  std::vector<std::string> arguments(argv + 1, argv + argc);
  panel.Controls().TerminalMode = korvani::hmi::screen::PanelControls::TerminalModeFrom(arguments);
  panel.FormLoad();
  window.show();
  CloseOnSessionEnd(window);
  return QApplication::exec();
}
