// Small text helpers on byte text.
#pragma once

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

}  // namespace korvani::base
