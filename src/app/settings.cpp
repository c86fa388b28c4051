// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <vector>

#include "base/ansi_text.h"
#include "base/files.h"
#include "base/numbers.h"
#include "base/text.h"

namespace korvani::app {

namespace {

std::string NumberLine(int value) {
  return (value < 0 ? "" : " ") + std::to_string(value) + " ";  // the sign takes the leading space
}

// A folder or file name: UTF-8, or else the ANSI text an earlier Windows program wrote.
std::string ReadName(SettingsValues& values, std::string_view text) {
  if (base::IsUtf8(text)) {
    return std::string(text);
  }
  values.NamesInAnsi = true;
  return base::AnsiToUtf8(text);
}

std::string NameLine(const SettingsValues& values, const std::string& name) {
  if (values.NamesInAnsi) {
    // Only where the ANSI bytes cannot be taken for UTF-8 of another name when read again.
    const auto ansi = base::Utf8ToAnsi(name);
    if (ansi && (!base::IsUtf8(*ansi) || *ansi == name)) {
      return *ansi;
    }
  }
  return name;  // UTF-8, which reads back the same
}

}  // namespace

bool ReadSettingsNumber(std::string_view text, std::int16_t& value) {
  const double number = base::LenientNumber(text);
  if (!base::FitsInt16(number)) {
    return false;
  }
  value = static_cast<std::int16_t>(base::WholeNumber(number));
  return true;
}

bool ReadSettingsCheck(std::string_view text, bool& ticked) {
  std::int16_t value = 0;
  if (!ReadSettingsNumber(text, value) || value < 0 || value > 2) {
    return false;
  }
  ticked = value != 0;
  return true;
}

int ReadSettings(std::istream& file, const SettingsLineSink& apply) {
  std::string line;
  for (int number = 1; number <= kSettingsLines; ++number) {
    if (!std::getline(file, line)) {
      return number - 1;
    }
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (!apply(number, line)) {
      return number - 1;
    }
  }
  return kSettingsLines;
}

bool ApplySettingsLine(SettingsValues& values, int line, std::string_view text) {
  std::int16_t number = 0;
  switch (line) {
    case 1:
      return ReadSettingsNumber(text, values.ComPortNumber);
    case 2:
      if (!ReadSettingsNumber(text, number) || number < 0 || number > 7) {
        return false;
      }
      values.BaudIndex = number;
      return true;
    case 3:
      if (!ReadSettingsNumber(text, number) || number < 0 || number > 4) {
        return false;
      }
      values.CharIndex = number;
      return true;
    case 4:
      values.LogFolder = ReadName(values, text);
      return true;
    case 5:
      values.TraceFileName = ReadName(values, text);
      return true;
    case 6:
      values.AsciiLogFileName = ReadName(values, text);
      return true;
    case 7:
      values.HexLogFileName = ReadName(values, text);
      return true;
    case 8:
      return ReadSettingsCheck(text, values.TraceToDisk);
    case 9:
      return ReadSettingsCheck(text, values.LogAscii);
    case 10:
      return ReadSettingsCheck(text, values.LogHex);
    case 16:
      return ReadSettingsCheck(text, values.LogSent);
    default:
      if (line >= 11 && line <= 15) {
        values.TxLines[static_cast<std::size_t>(line - 11)] = text;
        return true;
      }
      return false;
  }
}

std::string FormatSettings(const SettingsValues& values) {
  std::string text;
  const auto add = [&text](const std::string& line) { text += line + "\r\n"; };
  add(NumberLine(values.ComPortNumber));
  add(NumberLine(values.BaudIndex));
  add(NumberLine(values.CharIndex));
  add(NameLine(values, values.LogFolder));
  add(NameLine(values, values.TraceFileName));
  add(NameLine(values, values.AsciiLogFileName));
  add(NameLine(values, values.HexLogFileName));
  add(NumberLine(values.TraceToDisk ? 1 : 0));
  add(NumberLine(values.LogAscii ? 1 : 0));
  add(NumberLine(values.LogHex ? 1 : 0));
  for (const std::string& line : values.TxLines) {
    add(line);
  }
  add(NumberLine(values.LogSent ? 1 : 0));
  return text;
}

bool WriteSettingsFile(const std::string& path, const SettingsValues& values) {
  return base::WriteFileAtomically(path, FormatSettings(values));
}

namespace {
constexpr std::array<std::string_view, 3> kEnterNames = {"cr", "lf", "crlf"};
constexpr std::array<std::string_view, 2> kBackspaceNames = {"del", "bs"};

// The position of a name in its list, or nothing.
template <std::size_t N>
std::optional<std::size_t> Named(const std::array<std::string_view, N>& names, std::string_view name) {
  const auto* found = std::find(names.begin(), names.end(), name);
  return found == names.end() ? std::nullopt : std::optional(static_cast<std::size_t>(found - names.begin()));
}

// A pause in whole milliseconds from 0 to kMostPasteDelayMs, or nothing.
std::optional<int> PasteDelay(std::string_view text) {
  const std::optional<std::int64_t> ms = base::StrictWholeNumber(text, 0, kMostPasteDelayMs);
  return ms ? std::optional(static_cast<int>(*ms)) : std::nullopt;
}
}  // namespace

std::string FormatOptionsFile(const ProgramOptions& options) {
  const ConsoleOptions& console = options.Console;
  return std::string("# Korvani options, version 1\nupdate-check=") + (options.UpdateCheck ? "on" : "off") +
         "\ntx-line-end=" + std::string(terminal::LineEndName(options.TxLineEnd)) +
         "\nconsole-enter=" + std::string(kEnterNames.at(static_cast<std::size_t>(console.Enter))) +
         "\nconsole-backspace=" +
         std::string(kBackspaceNames.at(static_cast<std::size_t>(console.Backspace))) +
         "\nconsole-echo=" + (console.LocalEcho ? "on" : "off") +
         "\npaste-char-ms=" + std::to_string(console.PasteCharMs) +
         "\npaste-line-ms=" + std::to_string(console.PasteLineMs) + "\n";
}

ProgramOptions ReadOptionsFile(std::string_view text) {
  const base::KeyValues values = base::ReadKeyValueLines(text);
  ProgramOptions options;
  if (const auto check = values.find("update-check"); check != values.end()) {
    options.UpdateCheck = check->second != "off";
  }
  if (const auto end = values.find("tx-line-end"); end != values.end()) {
    options.TxLineEnd = terminal::LineEndNamed(end->second).value_or(options.TxLineEnd);
  }
  ConsoleOptions& console = options.Console;
  if (const auto enter = values.find("console-enter"); enter != values.end()) {
    if (const auto at = Named(kEnterNames, enter->second)) {
      console.Enter = static_cast<ConsoleEnter>(*at);
    }
  }
  if (const auto backspace = values.find("console-backspace"); backspace != values.end()) {
    if (const auto at = Named(kBackspaceNames, backspace->second)) {
      console.Backspace = static_cast<ConsoleBackspace>(*at);
    }
  }
  if (const auto echo = values.find("console-echo"); echo != values.end()) {
    console.LocalEcho = echo->second == "on";
  }
  if (const auto pause = values.find("paste-char-ms"); pause != values.end()) {
    console.PasteCharMs = PasteDelay(pause->second).value_or(console.PasteCharMs);
  }
  if (const auto pause = values.find("paste-line-ms"); pause != values.end()) {
    console.PasteLineMs = PasteDelay(pause->second).value_or(console.PasteLineMs);
  }
  return options;
}

}  // namespace korvani::app
