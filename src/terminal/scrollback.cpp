// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/scrollback.h"

#include "base/numbers.h"
#include "base/text.h"

namespace korvani::terminal {

HistoryLimits Scrollback::Limits() const {
  // Characters: every byte kept may end a line, so the line limit never binds first.
  return Characters ? HistoryLimits{Count, Count} : HistoryLimits::ForLines(Count);
}

std::string Scrollback::Text() const {
  std::string digits = std::to_string(Count);
  for (std::size_t at = digits.size(); at > 3; at -= 3) {
    digits.insert(at - 3, ",");
  }
  return digits + (Characters ? " characters" : " lines");
}

std::optional<Scrollback> ParseScrollback(std::string_view text) {
  text = base::TrimBlanks(text);
  std::string digits;
  std::size_t at = 0;
  for (; at < text.size() && (text[at] == ',' || (text[at] >= '0' && text[at] <= '9')); ++at) {
    if (text[at] != ',') {
      digits += text[at];
    }
  }
  const std::string_view unit = base::TrimBlanks(text.substr(at));
  const bool characters = unit == "characters" || unit == "character";
  if (!characters && !unit.empty() && unit != "lines" && unit != "line") {
    return std::nullopt;
  }
  const HistoryLimits most = HistoryLimits::ForLines(kMostScrollbackLines);
  const std::optional<std::int64_t> count =
      characters ? base::StrictWholeNumber(digits, kFewestScrollbackCharacters,
                                           static_cast<std::int64_t>(most.Bytes))
                 : base::StrictWholeNumber(digits, kFewestScrollbackLines, kMostScrollbackLines);
  if (!count) {
    return std::nullopt;
  }
  return Scrollback{static_cast<std::uint64_t>(*count), characters};
}

std::string FormatViewSettingsFile(const Scrollback& scrollback) {
  return "# Korvani receive view, version 1\nscrollback=" + scrollback.Text() + "\n";
}

std::optional<Scrollback> ReadViewSettingsFile(std::string_view text) {
  const base::KeyValues values = base::ReadKeyValueLines(text);
  const auto found = values.find("scrollback");
  return found == values.end() ? std::nullopt : ParseScrollback(found->second);
}

}  // namespace korvani::terminal
