// SPDX-License-Identifier: GPL-3.0-or-later
// Small text helpers on byte text.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace korvani::base {

// Without leading and trailing blanks (spaces only, as the board and the settings use them).
inline std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// ASCII letters in upper case; every other byte as it is.
inline std::string UpperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return upper;
}

// Value of a hex digit in either case, or -1.
inline int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  return -1;
}

// The key=value lines of a small settings file, keys and values without blanks around them;
// blank lines, lines starting with '#' and lines without '=' are passed over.
using KeyValues = std::map<std::string, std::string, std::less<>>;
inline KeyValues ReadKeyValueLines(std::string_view text) {
  KeyValues values;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) {
      end = text.size();
    }
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    const std::size_t equals = line.find('=');
    if (line.empty() || line.front() == '#' || equals == std::string_view::npos) {
      continue;
    }
    values[std::string(TrimBlanks(line.substr(0, equals)))] =
        std::string(TrimBlanks(line.substr(equals + 1)));
  }
  return values;
}

}  // namespace korvani::base
