// korvani: wires the real serial port and window to the panel and starts the event loop.
#include <QApplication>
#include <QDesktopServices>
#include <QFont>
#include <QUrl>
#include <cstdio>
#include <memory>
#include <string>

#include "app/panel.h"
#include "base/clock.h"
#include "ports/dev_lister.h"
#include "ui/frm_terminal.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_serial_port.h"
#include "ui/qt_timer.h"

namespace {

void PrintUsage() {
  std::puts(
      "Usage: korvani [--port PATH]\n"
      "\n"
      "  --port PATH   add the serial device PATH to the port list and open it at start-up\n"
      "  --help        show this help and exit");
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
      .MakerWebAddress = KORVANI_MAKER_WEB_ADDRESS};
  korvani::app::Panel panel(platform, window);
  window.Attach(panel);

  if (!portPath.isEmpty()) {
    // The named device joins the port list and is the one opened at start-up.
    panel.ComPortNumber = devices->AddUserPort(portPath.toStdString());
  }
  panel.FormLoad();
  window.show();
  return QApplication::exec();
}
