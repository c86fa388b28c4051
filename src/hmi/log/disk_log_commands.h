// SPDX-License-Identifier: GPL-3.0-or-later
// The board's disk-log commands: Y opens a log by name, Z asks for a new file, B, C and D
// gather a line, A writes it. Each line is written with its own open and close.
#pragma once

#include <set>
#include <string>
#include <string_view>

#include "hmi/log/log_file_table.h"

namespace korvani::hmi::log {

class DiskLogCommands {
 public:
  DiskLogCommands(LogFileTable& table, base::Dialogs& dialogs);

  void doHMIFileOpen(std::string_view baseName, std::string_view mode);
  void doHMINewFile(std::string_view baseName);
  void DoHMILog(std::string_view text);
  // Throws when the line cannot be written (the message is then abandoned); the user is
  // told once per file why.
  void doHMILogWrite();

  // A name the board gives must stay inside the log folder: no separators, no drive, no
  // "..", no control characters.
  static bool IsSafeLogName(std::string_view baseName);

 private:
  bool FolderAvailable();
  void RefuseUnsafeName(std::string_view baseName);
  void ReportWriteFailure(const std::string& path, const std::string& why);

  LogFileTable& Table;
  base::Dialogs& Dialogs;
  // A refused name leaves no log current: A writes nothing until a Y is accepted.
  bool NoLogAfterRefusal = false;
  std::set<std::string> RefusedNames;     // each reported once a run
  std::set<std::string> UnwritableFiles;  // the same
};

}  // namespace korvani::hmi::log
