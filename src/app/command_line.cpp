// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <cstdlib>
#include <functional>

#include "base/files.h"
#include "ports/added_ports.h"
#include "terminal/session_file.h"

namespace korvani::app {

namespace {

// One option: its name, the name of its value (none for a switch), its help (lines after
// the first are indented under it) and what it does with its value; "" or why it refuses.
struct Option {
  const char* Name;
  const char* Value;
  const char* Help;
  std::function<std::string(const std::string& value, CommandLine& line)> Take;
  const char* Missing = nullptr;  // said when the value is missing, instead of the usual
};

// A line option is the port's named before it, or every port's when no port was named yet.
std::string LineOption(const char* option, const std::string& value, CommandLine& line) {
  StartOptions& options = line.Options;
  std::string refused = ports::TakeLineOption(
      option, value, options.MorePorts.empty() ? options.Line : options.MorePorts.back().Line);
  if (refused.empty() && options.PortPath.empty()) {
    refused = ports::TakeLineOption(option, value, options.LineForAll);
  }
  return refused.empty() ? std::string() : "korvani: " + refused;
}

const std::vector<Option>& Options() {
  static const std::vector<Option> kOptions = {
      {"--port", "PATH",
       "add the serial device PATH to the port list (from COM200 up) and open\n"
       "it at start-up with the speed and character format saved on the\n"
       "Settings tab (38400,N,8,1 until another is chosen). Given again, each\n"
       "further port opens in a window of its own; a line option (--baud,\n"
       "--format, --flow, --dtr, --rts) is the port's named before it, or every\n"
       "port's when given before any --port",
       [](const std::string& value, CommandLine& line) {
         StartOptions& options = line.Options;
         if (options.PortPath.empty()) {
           options.PortPath = value;
         } else {
           options.MorePorts.push_back({value, options.LineForAll});
         }
         return std::string();
       },
       "korvani: --port needs a device path, for example --port /dev/ttyUSB0"},
      {"--port", "tcp://HOST:PORT",
       "a board behind a serial-to-network bridge (a TCP server): listed\n"
       "from COM220 up, remembered, opened at start-up and connected again\n"
       "whenever the connection drops while \"Open\" is down",
       nullptr},
      {"--port", "rfc2217://HOST:PORT",
       "a remote serial port behind an RFC 2217 terminal server: as a\n"
       "network port, with the line's speed, format, flow, DTR, RTS and break\n"
       "set on the far port",
       nullptr},
      {"--demo", nullptr, "list a simulated Vexel board as a port of its own (COM255) and open it",
       [](const std::string&, CommandLine& line) {
         line.Options.Demo = true;
         return std::string();
       }},
      {"--record", "FILE", "record everything received and sent, with its time, into FILE",
       [](const std::string& value, CommandLine& line) {
         line.Options.RecordPath = value;
         return std::string();
       }},
      {"--replay", "FILE",
       "open a recorded session as the port (COM254): what the board sent comes\n"
       "in again at its recorded pace; what the panel sends goes nowhere",
       [](const std::string& value, CommandLine& line) {
         line.Options.ReplayPath = value;
         return std::string();
       }},
      {"--speed", "X", "the replay's pace: 2 twice as fast, 0.5 half, 0 as fast as possible (1)",
       [](const std::string& value, CommandLine& line) {
         char* end = nullptr;
         const double speed = std::strtod(value.c_str(), &end);
         if (value.empty() || *end != '\0' || !(speed >= 0) || speed > 1e6) {
           return "korvani: --speed " + value +
                  ": the pace is a number, 1 as recorded, 0 as fast as possible";
         }
         line.Options.ReplaySpeed = speed;
         return std::string();
       }},
      {"--baud", "N", "the line's speed: any whole number of baud from 1 to 100000000",
       [](const std::string& value, CommandLine& line) { return LineOption("--baud", value, line); }},
      {"--format", "DPS", "data bits 5 to 8, parity N, E, O, M or S, stop bits 1, 1.5 or 2 (8N1)",
       [](const std::string& value, CommandLine& line) { return LineOption("--format", value, line); }},
      {"--flow", "F", "flow control: none, rtscts or xonxoff",
       [](const std::string& value, CommandLine& line) { return LineOption("--flow", value, line); }},
      {"--dtr", "on|off",
       "DTR when the port opens (on unless told; off keeps a board that resets\n"
       "on DTR from resetting)",
       [](const std::string& value, CommandLine& line) { return LineOption("--dtr", value, line); }},
      {"--rts", "on|off",
       "RTS when the port opens (on unless told)\n"
       "The line options apply to the port opened at start-up and are kept for\n"
       "the next start, as a choice on the Settings tab is.",
       [](const std::string& value, CommandLine& line) { return LineOption("--rts", value, line); }},
      {"--scrollback", "N",
       "the lines the Terminal tab's view keeps, 1000 to 10000000 (1000000;\n"
       "memory is bounded at 160 bytes a line), or \"N characters\" from 20000;\n"
       "kept for the next start, as the choice on the Settings tab is",
       [](const std::string& value, CommandLine& line) {
         line.Options.Scrollback = terminal::ParseScrollback(value);
         return line.Options.Scrollback ? std::string()
                                        : "korvani: --scrollback " + value +
                                              ": the lines kept are a whole number from 1000 to 10000000, "
                                              "or 20000 characters and up";
       }},
      {"--timestamps", nullptr,
       "start each line of the Terminal tab's view and of the ASCII log with the\n"
       "time its first byte came (HH:MM:SS.mmm)",
       [](const std::string&, CommandLine& line) {
         line.Options.Timestamps = true;
         return std::string();
       }},
      {"--fullscreen", nullptr,
       "start with the board's screen alone, filling the display (F11 or Esc\n"
       "returns to the window)",
       [](const std::string&, CommandLine& line) {
         line.Options.FullScreen = true;
         return std::string();
       }},
      {"--console", nullptr,
       "start with the Terminal tab's console in view and holding the keyboard:\n"
       "keys go to the board as typed, its escape sequences are drawn (implies /T)",
       [](const std::string&, CommandLine& line) {
         line.Options.Console = true;
         return std::string();
       }},
      {"--plot", nullptr,
       "start with the Plot tab in view: the numbers in received lines drawn\n"
       "against time (name:value pairs, or columns of numbers)",
       [](const std::string&, CommandLine& line) {
         line.Options.Plot = true;
         return std::string();
       }},
      {"--script", "FILE", "run the Lua script FILE on the session (with --headless)",
       [](const std::string& value, CommandLine& line) {
         line.Options.ScriptPath = value;
         return std::string();
       }},
      {"--headless", nullptr,
       "no window and no display: run the --script on the port, print its\n"
       "output on stdout and its errors on stderr, and exit with its exit code\n"
       "(0 when it ends, 1 on an error, 2 on a command-line or port error)",
       [](const std::string&, CommandLine& line) {
         line.Options.Headless = true;
         return std::string();
       }},
      {"--no-update-check", nullptr,
       "do not fetch the product page at start to compare versions (the\n"
       "box on the Settings tab unticked, and kept so for the next start)",
       [](const std::string&, CommandLine& line) {
         line.Options.NoUpdateCheck = true;
         return std::string();
       }},
      {"/T", nullptr,
       "make the terminal functions available (the Terminal tab); the window\n"
       "still opens on the board's screen",
       nullptr},
      {"--version", nullptr, "show the version and exit",
       [](const std::string&, CommandLine& line) {
         line.What = CommandLine::Outcome::Version;
         return std::string();
       }},
      {"--help", nullptr, "show this help and exit",
       [](const std::string&, CommandLine& line) {
         line.What = CommandLine::Outcome::Help;
         return std::string();
       }},
  };
  return kOptions;
}

// The checks that need every option: a script for --headless, a network address, a recording
// that is one, and a recording never recorded into.
std::string CheckTogether(const StartOptions& options) {
  if (options.Headless && options.ScriptPath.empty()) {
    return "korvani: --headless needs --script FILE: the script is what runs without a window";
  }
  if (options.Headless && !options.MorePorts.empty()) {
    return "korvani: --headless runs one port: name one --port";
  }
  std::string why;
  std::vector<std::string> ports = {options.PortPath};
  for (const MorePort& more : options.MorePorts) {
    ports.push_back(more.Path);
  }
  for (const std::string& port : ports) {
    if (const ports::SourceScheme* scheme = ports::SchemeOf(port);
        scheme != nullptr && !scheme->Parse(port, why)) {
      std::string message = "korvani: --port ";
      message += port;
      message += ": ";
      message += why;
      return message;
    }
  }
  if (options.ReplayPath.empty()) {
    return {};
  }
  const std::string replay = options.ReplayPath;
  terminal::SessionReader reader;
  if (!reader.Open(replay, why)) {
    return "korvani: --replay " + why;  // refused here rather than in a window that would wait on it
  }
  if (!options.RecordPath.empty() && base::SameFile(options.RecordPath, replay)) {
    return "korvani: --record " + options.RecordPath +
           ": it is the recording --replay plays; recording into it would destroy it";
  }
  return {};
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  const auto refuse = [&line](std::string why) {
    line.What = CommandLine::Outcome::Refused;
    line.Refusal = std::move(why);
    return line;
  };
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& arg = arguments[i];
    if (arg == "-h") {
      line.What = CommandLine::Outcome::Help;
      return line;
    }
    const Option* found = nullptr;
    std::optional<std::string> value;
    for (const Option& option : Options()) {
      const std::string name = option.Name;
      if (option.Take == nullptr) {
        continue;  // a line of help only
      }
      if (arg == name) {
        found = &option;
      } else if (option.Value != nullptr && arg.rfind(name + "=", 0) == 0) {
        found = &option;
        value = arg.substr(name.size() + 1);
      }
      if (found != nullptr) {
        break;
      }
    }
    if (found == nullptr) {
      if (arg.rfind("--", 0) == 0) {
        return refuse("korvani: unknown option " + arg + " (korvani --help lists them)");
      }
      line.Options.Arguments.push_back(arg);  // "/T", and whatever else is no option
      continue;
    }
    if (found->Value != nullptr && !value) {
      if (i + 1 >= arguments.size()) {
        return refuse(found->Missing != nullptr
                          ? found->Missing
                          : "korvani: " + arg + " needs a value (korvani --help lists them)");
      }
      value = arguments[++i];
    }
    if (std::string why = found->Take(value.value_or(std::string()), line); !why.empty()) {
      return refuse(std::move(why));
    }
    if (line.What != CommandLine::Outcome::Run) {
      return line;  // --help or --version: nothing else matters
    }
    line.Options.Arguments.push_back(arg);
  }
  if (std::string why = CheckTogether(line.Options); !why.empty()) {
    return refuse(std::move(why));
  }
  return line;
}

std::string UsageText() {
  std::string text =
      "Usage: korvani [--port PATH | --port tcp://HOST:PORT | --port rfc2217://HOST:PORT\n"
      "               | --demo | --replay FILE [--speed X]]\n"
      "               [--port PATH [line options]]...\n"
      "               [--record FILE] [--baud N] [--format 8N1] [--flow none|rtscts|xonxoff]\n"
      "               [--dtr on|off] [--rts on|off] [--scrollback N] [--timestamps] [--fullscreen]\n"
      "               [--no-update-check] [/T]\n"
      "       korvani --headless --script FILE [--port PATH | --demo | --replay FILE --speed 0]\n"
      "Operator panel for a Vexel controller board, and a serial terminal.\n"
      "\n";
  constexpr std::size_t kHelpColumn = 16;
  for (const Option& option : Options()) {
    std::string head = std::string("  ") + option.Name;
    if (option.Value != nullptr) {
      head.append(" ").append(option.Value);
    }
    head.append(head.size() < kHelpColumn ? kHelpColumn - head.size() : 2, ' ');
    text += head;
    for (const char* c = option.Help; *c != '\0'; ++c) {
      text += *c;
      if (*c == '\n') {
        text.append(kHelpColumn, ' ');
      }
    }
    text += '\n';
  }
  text +=
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
      "default to the folder korvani was started in.\n";
  return text;
}

}  // namespace korvani::app
