// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/terminal_logs.h"

#include <cstdio>

#include "base/files.h"
#include "base/hex_notation.h"

namespace korvani::terminal {

TerminalLogs::TerminalLogs(RxLogSettings& settings, TerminalLogsView& view, base::Dialogs& dialogs,
                           const base::Clock& clock)
    : Settings(settings), View(view), Dialogs(dialogs), Clock(clock) {}

void TerminalLogs::WriteAsciiLog(std::string_view text) {
  const std::string line = std::string(text) + "\r\n";
  Settings.AsciiFile.Append(Settings.AsciiFileName, Settings.AsciiLogText(line, base::MsOfDay(Clock.Now())));
}

void TerminalLogs::WriteHexLog(std::string_view text) {
  Settings.HexFile.Append(Settings.HexFileName, std::string(text) + "\r\n");
}

std::string TerminalLogs::PickFile(std::string_view currentName) {
  return Dialogs.PickSaveFile(currentName);
}

void TerminalLogs::ChooseAsciiLogFile() {
  std::string picked = PickFile(Settings.AsciiFileName);
  if (!picked.empty()) {
    Settings.AsciiFileName = std::move(picked);
    View.SetAsciiLogFileName(Settings.AsciiFileName);
  }
}

void TerminalLogs::ChooseHexLogFile() {
  std::string picked = PickFile(Settings.HexFileName);
  if (!picked.empty()) {
    Settings.HexFileName = std::move(picked);
    View.SetHexLogFileName(Settings.HexFileName);
  }
}

void TerminalLogs::LogSentLine(std::string_view typed, std::string_view bytes) {
  if (Settings.LogHex) {
    WriteHexLog("\r\n<<< " + base::HexToAsciiString(bytes) + "\r\n");
  }
  if (Settings.LogAscii) {
    WriteAsciiLog("\r\n<<< " + std::string(typed) + "\r\n");
  }
}

std::string TerminalLogs::WriteMarkerLine() {
  const base::LocalTime now = Clock.Now();
  char time[32];
  std::snprintf(time, sizeof time, "%02d:%02d:%02d", now.Hour % 100, now.Minute % 100, now.Second % 100);
  const std::string divider = "\r\n---------------------------------------- " + std::string(time) + "\r\n";
  WriteHexLog(divider);
  WriteAsciiLog(divider);
  return time;
}

void TerminalLogs::Empty(base::AppendingFile& file, const std::string& path) {
  file.Flush();
  base::ReplaceFile(path, {});
}  // failures ignored

}  // namespace korvani::terminal
