// SPDX-License-Identifier: GPL-3.0-or-later
// Every call from a Qt signal, event or timer into the core runs guarded: a failure there
// abandons that one action and is reported; it never leaves the slot and ends the program.
#pragma once

#include <concepts>
#include <cstdio>
#include <exception>
#include <functional>
#include <string>
#include <utility>

namespace korvani::ui {

// Tells the user that an action was abandoned, with the reason.
using FaultReport = std::function<void(const std::string& what)>;

template <typename Action>
void RunGuarded(const FaultReport& report, Action&& action) noexcept {
  std::string what;
  try {
    std::forward<Action>(action)();
    return;
  } catch (const std::exception& failure) {
    what = failure.what();
  } catch (...) {
    what = "an unknown failure";
  }
  try {
    if (report) {
      report(what);
      return;
    }
  } catch (...) {  // a report that fails itself still must not end the program
  }
  std::fprintf(stderr, "korvani: an action was abandoned: %s\n", what.c_str());
}

// A slot for connect(): the action with whatever arguments the signal brings, guarded.
template <typename Action>
auto Guarded(const FaultReport& report, Action action) {
  // Constrained, so that connect() can tell how many of the signal's arguments it takes.
  return [&report, action ](
             auto&&... arguments) -> void requires std::invocable<const Action&, decltype(arguments)...> {
    RunGuarded(report, [&] { action(std::forward<decltype(arguments)>(arguments)...); });
  };
}

// A guarded slot of a part of the window that acts on `target` (the panel): the action gets
// the target and the signal's arguments, and is skipped while the target pointer is null
// (before the part is attached, and while the window is taken down).
template <typename Target, typename Action>
auto WhenAttached(const FaultReport& report, Target* const& target, Action action) {
  return Guarded(
      report, [
        &target, action
      ](auto&&... arguments) -> void requires std::invocable<const Action&, Target&, decltype(arguments)...> {
        if (target != nullptr) {
          action(*target, std::forward<decltype(arguments)>(arguments)...);
        }
      });
}

}  // namespace korvani::ui
