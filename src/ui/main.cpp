// korvani: wires the real serial port and window to the panel and starts the event loop.
#include <QApplication>
#include <QFont>
#include <QIcon>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>

#include "app/version.h"
#include "base/files.h"
#include "ports/added_ports.h"
#include "terminal/scrollback.h"
#include "terminal/session_file.h"
#include "ui/korvani_app.h"
#include "ui/session_end.h"

namespace {

void PrintUsage() {
  std::puts(
      "Usage: korvani [--port PATH | --port tcp://HOST:PORT | --demo | --replay FILE [--speed X]]\n"
      "               [--record FILE] [--baud N] [--format 8N1] [--flow none|rtscts|xonxoff]\n"
      "               [--dtr on|off] [--rts on|off] [--scrollback N] [--timestamps] [--fullscreen]\n"
      "               [--no-update-check] [/T]\n"
      "Operator panel for a Vexel controller board, and a serial terminal.\n"
      "\n"
      "  --port PATH   add the serial device PATH to the port list (from COM200 up) and open\n"
      "                it at start-up with the speed and character format saved on the\n"
      "                Settings tab (38400,N,8,1 until another is chosen)\n"
      "  --port tcp://HOST:PORT  a board behind a serial-to-network bridge (a TCP server): listed\n"
      "                from COM220 up, remembered, opened at start-up and connected again\n"
      "                whenever the connection drops while \"Open\" is down\n"
      "  --demo        list a simulated Vexel board as a port of its own (COM255) and open it\n"
      "  --record FILE record everything received and sent, with its time, into FILE\n"
      "  --replay FILE open a recorded session as the port (COM254): what the board sent comes\n"
      "                in again at its recorded pace; what the panel sends goes nowhere\n"
      "  --speed X     the replay's pace: 2 twice as fast, 0.5 half, 0 as fast as possible (1)\n"
      "  --baud N      the line's speed: any whole number of baud from 1 to 100000000\n"
      "  --format DPS  data bits 5 to 8, parity N, E, O, M or S, stop bits 1, 1.5 or 2 (8N1)\n"
      "  --flow F      flow control: none, rtscts or xonxoff\n"
      "  --dtr on|off  DTR when the port opens (on unless told; off keeps a board that resets\n"
      "                on DTR from resetting)\n"
      "  --rts on|off  RTS when the port opens (on unless told)\n"
      "                The line options apply to the port opened at start-up and are kept for\n"
      "                the next start, as a choice on the Settings tab is.\n"
      "  --scrollback N  the lines the Terminal tab's view keeps, 1000 to 10000000 (1000000;\n"
      "                memory is bounded at 160 bytes a line), or \"N characters\" from 20000;\n"
      "                kept for the next start, as the choice on the Settings tab is\n"
      "  --timestamps  start each line of the Terminal tab's view and of the ASCII log with the\n"
      "                time its first byte came (HH:MM:SS.mmm)\n"
      "  --fullscreen  start with the board's screen alone, filling the display (F11 or Esc\n"
      "                returns to the window)\n"
      "  --no-update-check  do not fetch the product page at start to compare versions (the\n"
      "                box on the Settings tab unticked, and kept so for the next start)\n"
      "  /T            make the terminal functions available (the Terminal tab); the window\n"
      "                still opens on the board's screen\n"
      "  --version     show the version and exit\n"
      "  --help        show this help and exit\n"
      "\n"
      "Settings: Korvani_by_Vexel/INIFile/Vexel32.INI under $APPDATA when it is set (as on\n"
      "Windows), else under $XDG_CONFIG_HOME, else under ~/.config; written when the window\n"
      "closes, and beside it LineSettings.ini with the line's full settings, TxRepeat.ini with\n"
      "the Tx lines' periodic send, ReceiveView.ini with what the Terminal tab's view keeps,\n"
      "Options.ini with the version check and the sent lines' line end, NetworkPorts.ini with\n"
      "the network ports and PortIdentities.ini with the COM number each USB adapter keeps by\n"
      "its identity.\n"
      "Logs: the board's log files go to the log folder chosen on the Settings tab; the\n"
      "terminal logs (ASCII_logfile.log, Hex_logfile.log) and the trace (HMI_tracefile.txt)\n"
      "default to the folder korvani was started in.");
}

// Which of `names` the argument is ("--name VALUE" or "--name=VALUE"), or empty.
std::string OptionNamed(const std::string& arg, std::initializer_list<const char*> names) {
  for (const char* option : names) {
    std::string name = option;
    if (arg == name || arg.rfind(name + "=", 0) == 0) {
      return name;
    }
  }
  return {};
}

// The option's value, after its '=' or as the next argument; nothing (told on stderr) when
// it has none.
std::optional<std::string> OptionValue(const std::string& arg, int& i, int argc, char* argv[]) {
  const std::size_t equals = arg.find('=');
  if (equals != std::string::npos) {
    return arg.substr(equals + 1);
  }
  if (i + 1 >= argc) {
    std::fprintf(stderr, "korvani: %s needs a value (korvani --help lists them)\n", arg.c_str());
    return std::nullopt;
  }
  return std::string(argv[++i]);
}

}  // namespace

int main(int argc, char* argv[]) {
  korvani::ui::StartOptions options;
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
      options.PortPath = QString::fromLocal8Bit(argv[++i]);
    } else if (arg.rfind("--port=", 0) == 0) {
      options.PortPath = QString::fromLocal8Bit(arg.substr(7).c_str());
    } else if (const std::string option = OptionNamed(arg, {"--record", "--replay", "--speed"});
               !option.empty()) {
      const std::optional<std::string> given = OptionValue(arg, i, argc, argv);
      if (!given) {
        return 2;
      }
      const std::string& value = *given;
      if (option == "--speed") {
        char* end = nullptr;
        options.ReplaySpeed = std::strtod(value.c_str(), &end);
        if (value.empty() || *end != '\0' || !(options.ReplaySpeed >= 0) || options.ReplaySpeed > 1e6) {
          std::fprintf(stderr,
                       "korvani: --speed %s: the pace is a number, 1 as recorded, 0 as fast as possible\n",
                       value.c_str());
          return 2;
        }
      } else {
        (option == "--record" ? options.RecordPath : options.ReplayPath) =
            QString::fromLocal8Bit(value.c_str());
      }
    } else if (arg == "--demo") {
      options.Demo = true;
    } else if (arg == "--timestamps") {
      options.Timestamps = true;
    } else if (arg == "--fullscreen") {
      options.FullScreen = true;
    } else if (arg == "--no-update-check") {
      options.NoUpdateCheck = true;
    } else if (!OptionNamed(arg, {"--scrollback"}).empty()) {
      const std::optional<std::string> value = OptionValue(arg, i, argc, argv);
      if (!value) {
        return 2;
      }
      options.Scrollback = korvani::terminal::ParseScrollback(*value);
      if (!options.Scrollback) {
        std::fprintf(stderr,
                     "korvani: --scrollback %s: the lines kept are a whole number from 1000 to 10000000, "
                     "or 20000 characters and up\n",
                     value->c_str());
        return 2;
      }
    } else if (const std::string line = OptionNamed(arg, {"--baud", "--format", "--flow", "--dtr", "--rts"});
               !line.empty()) {
      const std::optional<std::string> value = OptionValue(arg, i, argc, argv);
      if (!value) {
        return 2;
      }
      const std::string refused = korvani::terminal::TakeLineOption(line, *value, options.Line);
      if (!refused.empty()) {
        std::fprintf(stderr, "korvani: %s\n", refused.c_str());
        return 2;
      }
    } else if (arg.rfind("--", 0) == 0) {
      std::fprintf(stderr, "korvani: unknown option %s (korvani --help lists them)\n", arg.c_str());
      return 2;
    }
    options.Arguments.push_back(arg);
  }
  if (options.PortPath.startsWith(QStringLiteral("tcp://"))) {
    std::string why;
    if (!korvani::ports::ParseNetworkAddress(options.PortPath.toStdString(), why)) {
      std::fprintf(stderr, "korvani: --port %s: %s\n", options.PortPath.toLocal8Bit().constData(),
                   why.c_str());
      return 2;
    }
  }

  if (!options.ReplayPath.isEmpty()) {
    // Refused here, with the reason, rather than in a window that would wait on it.
    const std::string replay = options.ReplayPath.toStdString();
    korvani::terminal::SessionReader reader;
    std::string why;
    if (!reader.Open(replay, why)) {
      std::fprintf(stderr, "korvani: --replay %s\n", why.c_str());
      return 2;
    }
    if (!options.RecordPath.isEmpty() && korvani::base::SameFile(options.RecordPath.toStdString(), replay)) {
      std::fprintf(
          stderr,
          "korvani: --record %s: it is the recording --replay plays; recording into it would destroy it\n",
          options.RecordPath.toLocal8Bit().constData());
      return 2;
    }
  }

  QApplication application(argc, argv);
  QApplication::setWindowIcon([] {
    QIcon icon;
    for (const char* size : {"16", "32", "48", "256"}) {
      icon.addFile(QStringLiteral(":/korvani/korvani-%1.png").arg(QLatin1String(size)));
    }
    return icon;
  }());
  QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
  korvani::ui::KorvaniApp program(options);
  program.Start();
  korvani::ui::CloseOnSessionEnd(program.Window());
  return QApplication::exec();
}
