// SPDX-License-Identifier: GPL-3.0-or-later
// The terminal's two log files: choosing and emptying them, divider lines, and the line
// writers that sent lines use.
#pragma once

#include <string>
#include <string_view>

#include "base/clock.h"
#include "base/dialogs.h"
#include "terminal/receive_path.h"

namespace korvani::terminal {

class TerminalLogsView {
 public:
  virtual ~TerminalLogsView() = default;
  virtual void SetAsciiLogFileName(std::string_view name) = 0;  // txtASCIILogFileName
  virtual void SetHexLogFileName(std::string_view name) = 0;    // txtHexLogFileName
};

class TerminalLogs {
 public:
  // The names and check boxes live with the receive path, which logs what arrives.
  TerminalLogs(RxLogSettings& settings, TerminalLogsView& view, base::Dialogs& dialogs,
               const base::Clock& clock);

  // Append the text and CR LF, whatever the check boxes say.
  void WriteAsciiLog(std::string_view text);
  void WriteHexLog(std::string_view text);
  // A save-file chooser preset with the name; empty when cancelled.
  std::string PickFile(std::string_view currentName);

  void ChooseAsciiLogFile();
  void ChooseHexLogFile();
  void ClearAsciiLog() const { Empty(Settings.AsciiFile, Settings.AsciiFileName); }
  void ClearHexLog() const { Empty(Settings.HexFile, Settings.HexFileName); }
  // The divider with the time in both logs, whatever the boxes; returns the time ("HH:MM:SS").
  std::string WriteMarkerLine();
  // A sent line, as typed and as the bytes it sent, into each log whose box is ticked: the
  // ASCII log as typed, the hex log in hex.
  void LogSentLine(std::string_view typed, std::string_view bytes);

 private:
  // What the log keeps is written first, so that it is emptied too.
  static void Empty(base::AppendingFile& file, const std::string& path);

  RxLogSettings& Settings;
  TerminalLogsView& View;
  base::Dialogs& Dialogs;
  const base::Clock& Clock;
};

}  // namespace korvani::terminal
