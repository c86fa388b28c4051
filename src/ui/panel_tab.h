// SPDX-License-Identifier: GPL-3.0-or-later
// What every tab of the window shares: where a failure in one of its slots is told, the
// panel it is attached to, and the guarded slot that reaches the panel only while it is.
#pragma once

#include <QWidget>
#include <utility>

#include "adapters/guarded.h"

namespace korvani::app {
class Panel;
}

namespace korvani::ui {

class PanelTab : public QWidget {
 public:
  explicit PanelTab(const FaultReport& report) : Report(report) {}

  // While the window is taken down its boxes still signal: nothing reaches the core then.
  void Detach() { Panel = nullptr; }

 protected:
  // A guarded slot that reaches the panel only while the tab is attached.
  template <typename Action>
  auto Do(Action action) {
    return WhenAttached(Report, Panel, std::move(action));
  }

  const FaultReport& Report;
  app::Panel* Panel = nullptr;  // set by the tab's Attach
};

}  // namespace korvani::ui
