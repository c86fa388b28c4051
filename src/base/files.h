// Files that are opened, written and closed for every write, so the user can read, move or
// clear them between writes. Paths are UTF-8 text as typed, picked or stored.
#pragma once

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
// True when a file (not a folder) is at the path and can be read.
bool FileExists(std::string_view path);

}  // namespace korvani::base
