// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/log/log_file_table.h"

#include "base/files.h"

#include <cstdio>
#include <filesystem>

namespace korvani::hmi::log {

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) {
      return false;
    }
  }
  return true;
}

std::string TwoDigits(int a, int b, int c) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d%02d%02d", a % 100, b % 100, c % 100);
  return text;
}

constexpr std::string_view kFolderPrompt =
    "Select a folder for log files to be written, ideally a folder under My Documents or on your desktop. "
    "Vista, "
    "Win7 and later may block writing to other places.";

}  // namespace

LogFileTable::LogFileTable(base::Dialogs& dialogs, const base::Clock& clock,
                           std::function<void(const std::string&)> folderChanged)
    : Dialogs(dialogs), Clock(clock), FolderChanged(std::move(folderChanged)) {}

int LogFileTable::FindDot(std::string_view fnam) {
  const std::size_t dot = fnam.rfind('.');
  return dot == std::string_view::npos ? -1 : static_cast<int>(dot) + 1;
}

std::string LogFileTable::GetRoot(std::string_view fnam) {
  const int dot = FindDot(fnam);
  return std::string(dot == -1 ? fnam : fnam.substr(0, static_cast<std::size_t>(dot - 1)));
}

std::string LogFileTable::GetExtension(std::string_view fnam) {
  const int dot = FindDot(fnam);
  if (dot == -1 || static_cast<std::size_t>(dot) == fnam.size()) {
    return {};
  }
  return std::string(fnam.substr(static_cast<std::size_t>(dot - 1)));
}

std::string LogFileTable::yyMMdd() const {
  const base::LocalTime now = Clock.Now();
  return TwoDigits(now.Year, now.Month, now.Day);
}

std::string LogFileTable::HHMMss() const {
  const base::LocalTime now = Clock.Now();
  return TwoDigits(now.Hour, now.Minute, now.Second);
}

std::int16_t LogFileTable::NextVacantFCB() const {
  for (std::int16_t i = 0; i < kFcbCount; ++i) {
    if (FCBTable[static_cast<std::size_t>(i)].RootName.empty()) {
      return i;
    }
  }
  return -1;
}

std::int16_t LogFileTable::GetFCB(std::string_view baseName) const {
  const std::string root = GetRoot(baseName);
  const std::string extension = GetExtension(baseName);
  for (std::int16_t i = 0; i < kFcbCount; ++i) {
    const FCB& fcb = FCBTable[static_cast<std::size_t>(i)];
    if (SameIgnoringCase(fcb.RootName, root) &&
        (extension.empty() || SameIgnoringCase(fcb.Extension, extension))) {
      return i;
    }
  }
  return -1;
}

std::int16_t LogFileTable::CreateFCB(std::string_view baseName, std::int16_t iMode) {
  const std::int16_t slot = NextVacantFCB();
  if (slot == -1) {
    Dialogs.ShowMessage("Failed to allocate an FCB for log file " + std::string(baseName) +
                            ". No free FCBs. Please report this to you equipment supplier.",
                        "Log file allocation problem", base::MessageIcon::None, base::MessageButtons::Ok);
    return -1;
  }
  InitialiseFCB(slot, baseName, iMode);
  return slot;
}

void LogFileTable::InitialiseFCB(std::int16_t slot, std::string_view baseName, std::int16_t iMode) {
  FCB& fcb = FCBTable.at(static_cast<std::size_t>(slot));
  const std::string today = yyMMdd();
  fcb.RootName = GetRoot(baseName);
  fcb.Extension = GetExtension(baseName);
  if (fcb.Extension.empty()) {
    fcb.Extension = ".log";
  }
  fcb.Mode = static_cast<std::int16_t>(iMode & 3);
  fcb.DateStamp.clear();
  fcb.SequenceNumber = 0;
  fcb.PendingLine.clear();
  // Numbers found on disk beyond the field's range continue at its last number (appended,
  // never emptied): no file is overwritten.
  const auto clampFound = [](std::int32_t found) {
    return static_cast<std::int16_t>(found < 0 ? 0
                                               : (found > kLastSequenceNumber ? kLastSequenceNumber : found));
  };
  if (fcb.Mode == kModeSequence) {
    fcb.SequenceNumber = clampFound(FindFreeFile(fcb.RootName + "_-", fcb.Extension));
  } else if (fcb.Mode == (kModeSequence | kModeDate)) {
    fcb.SequenceNumber = clampFound(FindFreeFile(fcb.RootName + "-_" + today + "_-", fcb.Extension));
    fcb.DateStamp = today;
  }
}

std::int32_t LogFileTable::FindFreeFile(std::string_view fnam, std::string_view extension) const {
  const auto present = [&](std::int32_t n) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%05d", n);
    return FileExists(LogPath(std::string(fnam) + digits + std::string(extension)));
  };
  std::int32_t coarse = 1000;
  for (; coarse <= 100000; coarse += 1000) {
    if (!present(coarse)) {
      break;
    }
  }
  if (coarse > 100000) {
    return -1;
  }
  for (std::int32_t n = coarse; n >= coarse - 1000; --n) {
    if (present(n)) {
      return n;
    }
  }
  return 0;
}

std::string LogFileTable::strFileNum() const {
  const std::string number =
      "00000" + std::to_string(FCBTable.at(static_cast<std::size_t>(CurrentFCB)).SequenceNumber);
  return number.substr(number.size() - 5);
}

std::string LogFileTable::BuildLogFileName() const {
  const FCB& fcb = FCBTable.at(static_cast<std::size_t>(CurrentFCB));
  std::string name = fcb.RootName;
  if ((fcb.Mode & kModeDate) != 0) {
    name += "-_" + yyMMdd();
  }
  if ((fcb.Mode & kModeSequence) != 0) {
    name += "_-" + strFileNum();
  }
  return name + fcb.Extension;
}

bool LogFileTable::CreateLogDir(bool oForce) {
  if (LogFolder.empty() || oForce) {
    std::string picked = Dialogs.PickFolder(kFolderPrompt, LogFolder);
    if (!picked.empty()) {
      LogFolder = std::move(picked);
      if (FolderChanged) {
        FolderChanged(LogFolder);
      }
    }
  }
  return !LogFolder.empty();
}

void LogFileTable::InitialiseAllFCBs() {
  FCBTable.fill(FCB{});
  LoggingActive = false;
}

std::string LogFileTable::LogPath(std::string_view fileName) const {
  // The folder text as typed or picked, then the file name, joined by this system's separator.
  std::string path = LogFolder;
  path += static_cast<char>(std::filesystem::path::preferred_separator);
  path += base::WithNameSuffix(fileName, NameSuffix);
  return path;
}

bool LogFileTable::FileExists(const std::string& path) {
  return base::FileExists(path);
}

}  // namespace korvani::hmi::log
