// SPDX-License-Identifier: GPL-3.0-or-later
// The board's disk logs: 20 slots (FCBs) of open log names, how a base name splits into
// root and extension, the file name of each write (date stamp and sequence number by
// mode), the search for the newest numbered file, and the log folder.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "base/dialogs.h"

namespace korvani::hmi::log {

inline constexpr int kFcbCount = 20;
inline constexpr std::int16_t kModeDate = 1;
inline constexpr std::int16_t kModeSequence = 2;
// The sequence number is five digits in a 16-bit field: numbering stops here.
inline constexpr std::int32_t kLastSequenceNumber = 32767;

struct FCB {
  std::string RootName;  // empty: the slot is vacant
  std::string Extension;
  bool NewFilePending = false;
  std::int16_t Mode = 0;
  std::string DateStamp;
  std::int16_t SequenceNumber = 0;
  std::string PendingLine;
};

class LogFileTable {
 public:
  // `logFolder` is the settings field's text; `folderChanged` tells the window a picked one.
  LogFileTable(base::Dialogs& dialogs, const base::Clock& clock,
               std::function<void(const std::string&)> folderChanged);

  static int FindDot(std::string_view fnam);
  static std::string GetRoot(std::string_view fnam);
  static std::string GetExtension(std::string_view fnam);
  [[nodiscard]] std::string yyMMdd() const;
  [[nodiscard]] std::string HHMMss() const;

  [[nodiscard]] std::int16_t NextVacantFCB() const;
  [[nodiscard]] std::int16_t GetFCB(std::string_view baseName) const;
  std::int16_t CreateFCB(std::string_view baseName, std::int16_t iMode);
  void InitialiseFCB(std::int16_t slot, std::string_view baseName, std::int16_t iMode);
  // The highest present sequence number for the prefix, 0 when none, -1 when 100000 is.
  [[nodiscard]] std::int32_t FindFreeFile(std::string_view fnam, std::string_view extension) const;
  [[nodiscard]] std::string strFileNum() const;
  [[nodiscard]] std::string BuildLogFileName() const;
  [[nodiscard]] const std::string& MyLogFolder() const { return LogFolder; }
  void SetLogFolder(std::string folder) { LogFolder = std::move(folder); }
  // Asks for a folder when none is set (or always, when forced); true when one is set.
  bool CreateLogDir(bool oForce);
  void InitialiseAllFCBs();
  // The path of a file in the log folder, the session's suffix before its extension.
  [[nodiscard]] std::string LogPath(std::string_view fileName) const;
  // What a session other than the first adds to each file's name ("-COM201").
  void SetNameSuffix(std::string suffix) { NameSuffix = std::move(suffix); }
  static bool FileExists(const std::string& path);

  std::array<FCB, kFcbCount> FCBTable{};
  std::int16_t CurrentFCB = 0;
  bool LoggingActive = false;
  bool LoggingInhibited = false;

 private:
  base::Dialogs& Dialogs;
  const base::Clock& Clock;
  std::function<void(const std::string&)> FolderChanged;
  std::string LogFolder;
  std::string NameSuffix;
};

}  // namespace korvani::hmi::log
