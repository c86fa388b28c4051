// SPDX-License-Identifier: GPL-3.0-or-later
// What every tab of the window shares: where a failure in one of its slots is told, what
// it is attached to, and the guarded slot that reaches it only while it is. A tab is
// attached to the narrowest thing it needs: the board's session (the screen, the plot), or
// the panel when it also changes the program's own settings.
#pragma once

#include <QWidget>
#include <utility>

#include "adapters/guarded.h"

namespace korvani::app {
class Panel;
class Session;
}  // namespace korvani::app

namespace korvani::ui {

template <typename Target>
class AttachedTab : public QWidget {
 public:
  explicit AttachedTab(const FaultReport& report) : Report(report) {}

  // While the window is taken down its boxes still signal: nothing reaches the core then.
  void Detach() { Attached = nullptr; }

 protected:
  // A guarded slot that reaches the target only while the tab is attached.
  template <typename Action>
  auto Do(Action action) {
    return WhenAttached(Report, Attached, std::move(action));
  }

  const FaultReport& Report;
  Target* Attached = nullptr;  // set by the tab's Attach
};

using PanelTab = AttachedTab<app::Panel>;
using SessionTab = AttachedTab<app::Session>;

}  // namespace korvani::ui
