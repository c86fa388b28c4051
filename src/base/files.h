// SPDX-License-Identifier: GPL-3.0-or-later
// Files written so that the user can read, move, clear or delete them between writes. Paths
// are UTF-8 text as typed, picked or stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace korvani::base {

// A folder separator of either system ("/" or "\\").
inline bool IsPathSeparator(char c) {
  return c == '/' || c == '\\';
}

std::filesystem::path Utf8Path(std::string_view path);

// Appends `text` as it is, creating the file when missing. False when it cannot be written;
// `why`, when given, then says why in the system's words.
bool AppendToFile(std::string_view path, std::string_view text, std::string* why = nullptr);
// Replaces the file's content with `text` (empty: an empty file). False when it cannot.
bool ReplaceFile(std::string_view path, std::string_view text, std::string* why = nullptr);
// Writes the text beside the file and renames it over, so an interrupted write never leaves
// a truncated file. False when it could not be written.
bool WriteFileAtomically(std::string_view path, std::string_view text);
// The file's whole content; empty when it cannot be read.
std::string ReadWholeFile(std::string_view path);
// True when a file (not a folder) is at the path and can be read.
bool FileExists(std::string_view path);
// Whether both names lead to one existing file: compared by the file's identity (device and
// node, or the volume's file ID), so another spelling, a link or a relative name is caught.
bool SameFile(std::string_view one, std::string_view other);
// The name with `suffix` before its extension ("ASCII_logfile.log", "-COM201":
// "ASCII_logfile-COM201.log"); at its end when it has none. A folder's dots do not count.
std::string WithNameSuffix(std::string_view path, std::string_view suffix);

// A log that text is appended to by name, as AppendToFile does, for writers that append
// many times a second. Where an open file can still be moved and deleted (not on Windows), it
// stays open between writes, and before each write it checks that its name still leads to
// the open file: when the user moved, deleted or replaced it, or the name changed, the file
// is opened again by name. Elsewhere every write opens, appends and closes.
//
// A writer in a hurry may keep text back (AppendLater) and write it in one go (Flush): kept
// text is written before any other, at the latest once kKeepAtMost bytes are kept, when
// another name is given, or when the file is closed. A text of a quarter of that or more is
// written at once, after what was kept, without being copied.
class AppendingFile {
 public:
  static constexpr std::size_t kKeepAtMost = std::size_t{256} * 1024;

  AppendingFile() = default;
  AppendingFile(const AppendingFile&) = delete;
  AppendingFile& operator=(const AppendingFile&) = delete;
  ~AppendingFile() { Close(); }

  // Writes what is kept and then `text`.
  bool Append(std::string_view path, std::string_view text, std::string* why = nullptr);
  // Keeps `text` for the file of that name; false only when a write it caused failed.
  bool AppendLater(std::string_view path, std::string_view text, std::string* why = nullptr);
  // Writes what is kept; a failed write drops it, as a failed Append does.
  bool Flush(std::string* why = nullptr);
  [[nodiscard]] bool Keeps() const { return !Kept.empty(); }
  // Writes what is kept and lets go of the file.
  void Close();
  // Told when writing starts to fail ("<name>: <reason>") and when a write succeeds again
  // (empty): once per change, however many writes fail in between.
  void SetProblemHandler(std::function<void(const std::string& problem)> handler) {
    ProblemChanged = std::move(handler);
  }
  [[nodiscard]] const std::string& Problem() const { return Failing; }

 private:
  bool Write(std::string_view path, std::string_view text, std::string* why);
  bool WriteNow(std::string_view path, std::string_view text, std::string* why);
  void Release();
  bool OpenedAs(std::string_view path) const;
  bool Open(std::string_view path, std::string* why);

  std::string Kept;
  std::string KeptPath;
  std::string Failing;  // why the last write failed; empty once one succeeded
  std::function<void(const std::string&)> ProblemChanged;
  std::string Path;
  int Handle = -1;
  std::uint64_t Device = 0;
  std::uint64_t Node = 0;
};

}  // namespace korvani::base
