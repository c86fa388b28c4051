// korvani: wires the real serial port and window to the panel and starts the event loop.
#include <QApplication>
#include <QFont>
#include <cstdio>
#include <string>

#include "app/panel.h"
#include "ui/frm_terminal.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_serial_port.h"

namespace {

// Paths given on the command line get COM numbers from here upward.
constexpr std::int16_t kFirstCommandLinePort = 200;

void PrintUsage() {
  std::puts(
      "Usage: korvani [--port PATH]\n"
      "\n"
      "  --port PATH   open the serial device PATH at start-up (38400,N,8,1)\n"
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

  korvani::ui::QtSerialPort port;
  korvani::ui::FrmTerminal window;
  korvani::ui::QtDialogs dialogs(&window);
  korvani::app::Panel panel(port, window, window.Surface(), dialogs);
  window.Attach(panel);

  if (!portPath.isEmpty()) {
    port.SetPortPath(kFirstCommandLinePort, portPath);
    panel.ComPortNumber = kFirstCommandLinePort;
  }
  panel.FormLoad();
  window.show();
  return QApplication::exec();
}
