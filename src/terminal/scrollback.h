// SPDX-License-Identifier: GPL-3.0-or-later
// How much the receive view keeps: so many lines (1,000,000 unless chosen otherwise), or, the
// smallest choice, the 20,000 characters the terminal's pane always kept. Written the way the
// Settings tab and the settings file show it: "1,000,000 lines", "20,000 characters".
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "terminal/rx_history.h"

namespace korvani::terminal {

struct Scrollback {
  std::uint64_t Count = 1000000;
  bool Characters = false;  // Count is bytes, not lines

  [[nodiscard]] HistoryLimits Limits() const;
  [[nodiscard]] std::string Text() const;
  bool operator==(const Scrollback&) const = default;
};

inline constexpr std::uint64_t kFewestScrollbackLines = 1000;
inline constexpr std::uint64_t kMostScrollbackLines = 10000000;
inline constexpr std::uint64_t kFewestScrollbackCharacters = 20000;

// The choices listed on the Settings tab; any other count may be typed.
inline constexpr std::array<Scrollback, 5> kScrollbackChoices{{{kFewestScrollbackCharacters, true},
                                                               {10000, false},
                                                               {100000, false},
                                                               {1000000, false},
                                                               {10000000, false}}};

// A count with or without thousands separators, then "lines" (or nothing) or "characters":
// lines from 1,000 to 10,000,000, characters from 20,000 to what 10,000,000 lines may hold.
std::optional<Scrollback> ParseScrollback(std::string_view text);

// The receive view's settings file: "scrollback=1,000,000 lines" under a version header.
std::string FormatViewSettingsFile(const Scrollback& scrollback);
std::optional<Scrollback> ReadViewSettingsFile(std::string_view text);

}  // namespace korvani::terminal
