// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/log/disk_log_commands.h"
#include "base/text.h"

#include <cmath>
#include <stdexcept>

#include "base/files.h"
#include "base/numbers.h"

namespace korvani::hmi::log {

namespace {

constexpr std::string_view kNoFolder =
    "Unable to open file folder for logging. Logging will be inhibited. You can select a folder in the "
    "settings tab.";

// The mode's lowest two bits, or -1 when no usable mode was given.
int ParseMode(std::string_view text) {
  const std::string mode(base::TrimBlanks(text));
  if (mode.empty() || mode.find_first_not_of("0123456789.") != std::string::npos) {
    return -1;
  }
  // The lowest two bits of the whole number, taken without converting it to an integer
  // type first: a mode of twenty digits is still a mode.
  return static_cast<int>(std::fmod(base::RoundHalfEven(base::LenientNumber(mode)), 4.0));
}

}  // namespace

DiskLogCommands::DiskLogCommands(LogFileTable& table, base::Dialogs& dialogs)
    : Table(table), Dialogs(dialogs) {}

bool DiskLogCommands::IsSafeLogName(std::string_view baseName) {
  if (baseName.find("..") != std::string_view::npos) {
    return false;
  }
  for (const char c : baseName) {
    const auto code = static_cast<unsigned char>(c);
    if (c == '/' || c == '\\' || c == ':' || code < 32 || code == 127) {
      return false;
    }
  }
  return true;
}

void DiskLogCommands::RefuseUnsafeName(std::string_view baseName) {
  const std::string name(baseName);
  if (RefusedNames.insert(name).second) {
    Dialogs.ShowMessage(
        "The board asked for a log file named \"" + name +
            "\", which would lie outside the log folder. Nothing was written under that name.",
        "Log file name refused", base::MessageIcon::Exclamation, base::MessageButtons::Ok);
  }
  throw std::invalid_argument("log name outside the log folder");
}

void DiskLogCommands::ReportWriteFailure(const std::string& path, const std::string& why) {
  // Once per file and run: the board may go on trying with every line.
  if (UnwritableFiles.insert(path).second) {
    Dialogs.ShowMessage("The board's log line could not be written to " + path + " (" + why +
                            "). Choose a log folder you can write to on the Settings tab.",
                        "Log file not written", base::MessageIcon::Exclamation, base::MessageButtons::Ok);
  }
}

bool DiskLogCommands::FolderAvailable() {
  if (Table.CreateLogDir(false)) {
    return true;
  }
  Dialogs.ShowMessage(kNoFolder, "Korvani", base::MessageIcon::None, base::MessageButtons::Ok);
  Table.LoggingInhibited = true;
  return false;
}

void DiskLogCommands::doHMIFileOpen(std::string_view baseName, std::string_view mode) {
  if (Table.LoggingInhibited) {
    return;
  }
  if (!IsSafeLogName(baseName)) {
    Table.LoggingActive = false;
    NoLogAfterRefusal = true;
    RefuseUnsafeName(baseName);
  }
  if (!FolderAvailable()) {
    return;
  }
  const int m = ParseMode(mode);
  if (baseName.empty()) {
    Table.LoggingActive = false;
    return;
  }
  std::int16_t slot = Table.GetFCB(baseName);
  if (slot != -1) {
    Table.CurrentFCB = slot;
    Table.LoggingActive = true;
    NoLogAfterRefusal = false;
    return;
  }
  if (m == -1) {
    Dialogs.ShowMessage("Attempt to open log file " + std::string(baseName) +
                            " for the first time without specifying the mode. That file cannot be logged to. "
                            "Please report to your equipment supplier",
                        "Missing logging mode", base::MessageIcon::None, base::MessageButtons::Ok);
    Table.LoggingActive = false;
    return;
  }
  slot = Table.CreateFCB(baseName, static_cast<std::int16_t>(m));
  if (slot >= 0) {
    Table.CurrentFCB = slot;
    Table.LoggingActive = true;
    NoLogAfterRefusal = false;
  }
}

void DiskLogCommands::doHMINewFile(std::string_view baseName) {
  if (Table.LoggingInhibited) {
    return;
  }
  if (!IsSafeLogName(baseName)) {
    RefuseUnsafeName(baseName);
  }
  if (!FolderAvailable()) {
    Table.LoggingActive = false;
    return;
  }
  if (baseName.empty()) {
    return;
  }
  const std::int16_t slot = Table.GetFCB(baseName);
  if (slot == -1) {
    Dialogs.ShowMessage("Attempt to create a new file for" + std::string(baseName) +
                            " when it has not been opened. Please report to your equipment supplier.",
                        "Logging error.", base::MessageIcon::None, base::MessageButtons::Ok);
    return;
  }
  Table.FCBTable[static_cast<std::size_t>(slot)].NewFilePending = true;
}

void DiskLogCommands::DoHMILog(std::string_view text) {
  if (Table.LoggingActive) {
    Table.FCBTable[static_cast<std::size_t>(Table.CurrentFCB)].PendingLine += text;
  }
}

void DiskLogCommands::doHMILogWrite() {
  if (NoLogAfterRefusal) {
    return;  // the board's lines go nowhere, not into the log opened before
  }
  FCB& fcb = Table.FCBTable[static_cast<std::size_t>(Table.CurrentFCB)];
  // At the last number a new file cannot be started without overwriting one: the lines go
  // on being appended to the last file instead.
  bool startNewFile = fcb.NewFilePending;
  if ((fcb.Mode & kModeSequence) != 0 && fcb.NewFilePending) {
    if (fcb.SequenceNumber < kLastSequenceNumber) {
      ++fcb.SequenceNumber;
    } else {
      startNewFile = false;
    }
  }
  const std::string today = Table.yyMMdd();
  if ((fcb.Mode & kModeDate) != 0 && today != fcb.DateStamp) {
    fcb.SequenceNumber = 0;
  }
  fcb.DateStamp = today;

  if (fcb.RootName.empty()) {
    throw std::runtime_error("no log file open");
  }
  const std::string path = Table.LogPath(Table.BuildLogFileName());
  const bool replace = !LogFileTable::FileExists(path) || startNewFile;
  const std::string line = fcb.PendingLine + "\r\n";
  std::string why;
  if (!(replace ? base::ReplaceFile(path, line, &why) : base::AppendToFile(path, line, &why))) {
    ReportWriteFailure(path, why);
    throw std::runtime_error("log file cannot be written");
  }
  fcb.PendingLine.clear();
  fcb.NewFilePending = false;
}

}  // namespace korvani::hmi::log
