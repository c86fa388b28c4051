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

void RememberScript(ScriptChoices& choices, const std::string& path) {
  std::erase(choices.Recent, path);
  choices.Recent.insert(choices.Recent.begin(), path);
  if (choices.Recent.size() > kRecentScripts) {
    choices.Recent.resize(kRecentScripts);
  }
}

namespace {

std::string FormatScriptChoices(const ScriptChoices& scripts) {
  std::string text = std::string("script-programs=") + (scripts.RunPrograms ? "on" : "off") + "\n";
  for (std::size_t i = 0; i < scripts.Recent.size() && i < kRecentScripts; ++i) {
    if (scripts.Recent[i].find_first_of("\r\n") == std::string::npos) {  // a name that reads back
      text += "script-recent-" + std::to_string(i + 1) + "=" + scripts.Recent[i] + "\n";
    }
  }
  return text;
}

ScriptChoices ReadScriptChoices(const base::KeyValues& values) {
  ScriptChoices scripts;
  if (const auto programs = values.find("script-programs"); programs != values.end()) {
    scripts.RunPrograms = programs->second == "on";
  }
  for (std::size_t i = 1; i <= kRecentScripts; ++i) {
    if (const auto recent = values.find("script-recent-" + std::to_string(i));
        recent != values.end() && !recent->second.empty() &&
        std::find(scripts.Recent.begin(), scripts.Recent.end(), recent->second) == scripts.Recent.end()) {
      scripts.Recent.push_back(recent->second);
    }
  }
  return scripts;
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
         "\npaste-line-ms=" + std::to_string(console.PasteLineMs) + "\n" +
         FormatScriptChoices(options.Scripts);
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
  options.Scripts = ReadScriptChoices(values);
  return options;
}

}  // namespace korvani::app
