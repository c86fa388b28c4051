// SPDX-License-Identifier: GPL-3.0-or-later
// The command line: every option in one table, which both parses the arguments and writes
// --help. Parsing needs no window, so the table is tested on its own.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ports/line_settings.h"
#include "terminal/scrollback.h"

namespace korvani::app {

// A port named again: it opens in a window of its own with its own line options.
struct MorePort {
  std::string Path;
  ports::LineOptions Line;
};

struct StartOptions {
  std::string PortPath;                // --port: a device to list and open at start-up
  bool Demo = false;                   // --demo: list the demo board and open it
  std::vector<std::string> Arguments;  // the options themselves (not their values), for "/T"
  ports::LineOptions Line;             // --baud, --format, --flow, --dtr, --rts for the first port
  std::optional<terminal::Scrollback> Scrollback = std::nullopt;  // --scrollback: what the receive view keeps
  bool Timestamps = false;                                        // --timestamps
  bool FullScreen = false;                                        // --fullscreen: the screen alone
  bool Console = false;                // --console: the Terminal tab's console in view, holding the keyboard
  bool Plot = false;                   // --plot: the Plot tab in view
  bool NoUpdateCheck = false;          // --no-update-check: the product page is not fetched
  std::string RecordPath = {};         // --record: the session into this file
  std::string ReplayPath = {};         // --replay: this recording as the port
  double ReplaySpeed = 1.0;            // --speed: 0 as fast as possible
  ports::LineOptions LineForAll = {};  // the line options given before any port: every port's
  std::vector<MorePort> MorePorts = {};  // --port given again: a session and window each
  std::string ScriptPath = {};           // --script: a Lua script run on the session
  bool Headless = false;                 // --headless: no window; the script's exit code
};

struct CommandLine {
  enum class Outcome { Run, Help, Version, Refused };
  Outcome What = Outcome::Run;
  StartOptions Options;
  std::string Refusal;  // why, for Refused: "korvani: ..." without a line end
};

// The arguments after the program's name, each as given.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);
// What --help prints, from the same table.
std::string UsageText();

}  // namespace korvani::app
