// Files written so that the user can read, move, clear or delete them between writes. Paths
// are UTF-8 text as typed, picked or stored.
#pragma once

#include <cstdint>
#include <filesystem>
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

// A log that text is appended to by name, as AppendToFile does, for writers that append
// many times a second. Where an open file can still be moved and deleted (not on Windows), it
// stays open between writes, and before each write it checks that its name still leads to
// the open file: when the user moved, deleted or replaced it, or the name changed, the file
// is opened again by name. Elsewhere every write opens, appends and closes.
class AppendingFile {
 public:
  AppendingFile() = default;
  AppendingFile(const AppendingFile&) = delete;
  AppendingFile& operator=(const AppendingFile&) = delete;
  ~AppendingFile() { Close(); }

  bool Append(std::string_view path, std::string_view text, std::string* why = nullptr);
  void Close();

 private:
  bool OpenedAs(std::string_view path) const;
  bool Open(std::string_view path, std::string* why);

  std::string Path;
  int Handle = -1;
  std::uint64_t Device = 0;
  std::uint64_t Node = 0;
};

}  // namespace korvani::base
