// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/ansi_text.h"

#include <array>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#endif

namespace korvani::base {

namespace {

#ifndef _WIN32
// Windows-1252's characters for the bytes 0x80 to 0x9F; its five unassigned bytes keep the
// C1 control of the same value, as Windows converts them.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

#endif

// The next character of well-formed UTF-8 at `at`, which moves past it; nothing when the
// bytes there are not UTF-8.
std::optional<char32_t> NextCharacter(std::string_view text, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) {
    ++at;
    return lead;
  }
  // The lead byte gives the length, its own bits and the smallest character of that length.
  struct Form {
    unsigned char First, Last, Bits;
    int Length;
    char32_t Smallest;
  };
  static constexpr Form kForms[] = {
      {0xC2, 0xDF, 0x1F, 2, 0x80}, {0xE0, 0xEF, 0x0F, 3, 0x800}, {0xF0, 0xF4, 0x07, 4, 0x10000}};
  const Form* form = nullptr;
  for (const Form& candidate : kForms) {
    if (lead >= candidate.First && lead <= candidate.Last) {
      form = &candidate;
    }
  }
  if (form == nullptr) {
    return std::nullopt;
  }
  const int length = form->Length;
  const char32_t smallest = form->Smallest;
  char32_t c = lead & form->Bits;
  if (at + static_cast<std::size_t>(length) > text.size()) {
    return std::nullopt;
  }
  for (int i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[at + static_cast<std::size_t>(i)]);
    if ((next & 0xC0U) != 0x80U) {
      return std::nullopt;
    }
    c = (c << 6) | (next & 0x3FU);
  }
  if (c < smallest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    return std::nullopt;
  }
  at += static_cast<std::size_t>(length);
  return c;
}

#ifdef _WIN32
// The system's ANSI code page; where the system runs on UTF-8, the Windows-1252 the earlier
// program wrote on most machines.
UINT AnsiCodePage() {
  return GetACP() == CP_UTF8 ? 1252 : CP_ACP;
}

std::optional<std::string> Convert(std::string_view text, UINT from, UINT to, bool exact) {
  if (text.empty()) {
    return std::string();
  }
  const int size = static_cast<int>(text.size());
  const int wide = MultiByteToWideChar(from, 0, text.data(), size, nullptr, 0);
  if (wide <= 0) {
    return std::nullopt;
  }
  std::wstring characters(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(from, 0, text.data(), size, characters.data(), wide);
  BOOL lossy = FALSE;
  const DWORD flags = exact ? WC_NO_BEST_FIT_CHARS : 0;
  BOOL* lossFlag = exact ? &lossy : nullptr;
  const int bytes = WideCharToMultiByte(to, flags, characters.data(), wide, nullptr, 0, nullptr, lossFlag);
  if (bytes <= 0) {
    return std::nullopt;
  }
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(to, flags, characters.data(), wide, out.data(), bytes, nullptr, lossFlag);
  if (lossy) {
    return std::nullopt;
  }
  return out;
}
#endif

}  // namespace

void AppendUtf8(std::string& out, char32_t code) {
  if (code >= 0x110000 || (code >= 0xD800 && code <= 0xDFFF)) {
    code = 0xFFFD;
  }
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0U | (code >> 6U));
    out += static_cast<char>(0x80U | (code & 0x3FU));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0U | (code >> 12U));
    out += static_cast<char>(0x80U | ((code >> 6U) & 0x3FU));
    out += static_cast<char>(0x80U | (code & 0x3FU));
  } else {
    out += static_cast<char>(0xF0U | (code >> 18U));
    out += static_cast<char>(0x80U | ((code >> 12U) & 0x3FU));
    out += static_cast<char>(0x80U | ((code >> 6U) & 0x3FU));
    out += static_cast<char>(0x80U | (code & 0x3FU));
  }
}

bool IsUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    if (!NextCharacter(text, at)) {
      return false;
    }
  }
  return true;
}

std::string AnsiToUtf8(std::string_view text) {
#ifdef _WIN32
  // Every byte has a character in the ANSI code pages; should one not, the bytes are kept.
  return Convert(text, AnsiCodePage(), CP_UTF8, false).value_or(std::string(text));
#else
  std::string out;
  out.reserve(text.size() * 2);
  for (const char byte : text) {
    const auto code = static_cast<unsigned char>(byte);
    AppendUtf8(out, code >= 0x80 && code <= 0x9F ? kHighControls[code - 0x80U] : code);
  }
  return out;
#endif
}

std::optional<std::string> Utf8ToAnsi(std::string_view text) {
  if (!IsUtf8(text)) {
    return std::nullopt;
  }
#ifdef _WIN32
  return Convert(text, CP_UTF8, AnsiCodePage(), true);
#else
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    const char32_t c = *NextCharacter(text, at);
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    std::size_t high = 0;
    while (high < kHighControls.size() && kHighControls[high] != c) {
      ++high;
    }
    if (high == kHighControls.size()) {
      return std::nullopt;
    }
    out.push_back(static_cast<char>(0x80 + high));
  }
  return out;
#endif
}

}  // namespace korvani::base
