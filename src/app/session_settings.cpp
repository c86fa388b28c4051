// SPDX-License-Identifier: GPL-3.0-or-later
// What a session's receive view keeps, as chosen and as the terminal functions allow.
#include "app/session.h"

namespace korvani::app {

bool Session::ChooseScrollback(std::string_view typed) {
  const std::optional<terminal::Scrollback> chosen = terminal::ParseScrollback(typed);
  if (chosen) {
    Keeps = *chosen;
    KeepHistory();
  }
  Views.Settings.ShowScrollback(Keeps);
  return chosen.has_value();
}

void Session::KeepHistory() {
  const bool seen = TerminalAvailable.value_or(true);
  RxPath.SetHistoryLimits(seen ? Keeps.Limits()
                               : terminal::Scrollback{terminal::kFewestScrollbackCharacters, true}.Limits());
}

}  // namespace korvani::app
