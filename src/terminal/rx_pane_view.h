// What the receive path shows on the terminal tab.
#pragma once

#include <string_view>

namespace korvani::terminal {

class RxPaneView {
 public:
  virtual ~RxPaneView() = default;
  // The whole text of the receive pane (txtRxData), scrolled to its end.
  virtual void ShowRxText(std::string_view text) = 0;
  // "Freeze" while the pane is live, "Update" while it is frozen.
  virtual void SetFreezeCaption(std::string_view caption) = 0;
  // The time stamps box, and the stamps before the view's lines.
  virtual void SetTimestampsShown(bool on) = 0;
};

}  // namespace korvani::terminal
