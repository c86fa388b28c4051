// SPDX-License-Identifier: GPL-3.0-or-later
// What the receive path shows on the terminal tab.
#pragma once

#include <string_view>

#include "terminal/rx_history.h"

namespace korvani::terminal {

class RxPaneView {
 public:
  virtual ~RxPaneView() = default;
  // The history changed, or the form it is shown in: the view catches up (at display rate).
  virtual void ShowHistory(HistoryForm form) = 0;
  // "Freeze" while the pane is live, "Update" while it is frozen.
  virtual void SetFreezeCaption(std::string_view caption) = 0;
  // The time stamps box, and the stamps before the view's lines.
  virtual void SetTimestampsShown(bool on) = 0;
  // Why a terminal log cannot be written now; empty once both write again.
  virtual void ShowLogProblem(std::string_view problem) = 0;
};

}  // namespace korvani::terminal
