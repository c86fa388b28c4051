// SPDX-License-Identifier: GPL-3.0-or-later
// The Vexel hex notation: an apostrophe and two hex digits stand for one byte ('0D is CR).
// Free functions on byte text (each char one byte, 0..255); no state, no user interface.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace korvani::base {

// Longest input HexToAsciiString lists before it appends its truncation note.
inline constexpr std::size_t kHexListingLimit = 5000;

// Received text in the ASCII view's form: LF, CR and codes 32..127 as they are, every other
// code as apostrophe, hex pair, space.
std::string AsciiToDisplay(std::string_view text);
// The same, appended to `out` (the receive path reuses one buffer per chunk).
void AppendAsciiToDisplay(std::string& out, std::string_view text);

// Code of the first character, 0 for an empty text.
std::int16_t SafeAsc(std::string_view text);

// Upper-case hex pair of one byte, appended to `out`.
// Writes the two upper-case hex digits of `byte` at `out` and returns the place after them.
constexpr char* PutHexPair(char* out, unsigned char byte) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  out[0] = kDigits[byte >> 4U];
  out[1] = kDigits[byte & 0x0FU];
  return out + 2;
}
// Each byte's hex pair and a space, in four bytes (the last is slack), for writing long
// listings four bytes at a time and advancing three.
inline constexpr std::array<std::array<char, 4>, 256> kHexPairAndSpace = [] {
  std::array<std::array<char, 4>, 256> table{};
  for (unsigned byte = 0; byte < 256; ++byte) {
    PutHexPair(table[byte].data(), static_cast<unsigned char>(byte));
    table[byte][2] = ' ';
    table[byte][3] = ' ';
  }
  return table;
}();

inline void AppendHexPair(std::string& out, unsigned char byte) {
  char pair[2];
  PutHexPair(pair, byte);
  out.append(pair, 2);
}

// Each byte as a hex pair and a space, at most kHexListingLimit of them, then a note.
std::string HexToAsciiString(std::string_view text);

// Typed text with apostrophe-hex escapes and semicolon comments to the bytes to send.
std::string ParseTxText(std::string_view typed);

}  // namespace korvani::base
