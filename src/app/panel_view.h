// Everything the main window shows that the panel decides, beyond the receive pane.
#pragma once

#include <string_view>

#include "terminal/rx_pane_view.h"

namespace korvani::app {

class PanelView : public terminal::RxPaneView {
 public:
  // Label2 beside the "Test" box: the injected text as hex pairs.
  virtual void ShowTestEcho(std::string_view hexListing) = 0;
  // The connection status in the first panel of the status bar.
  virtual void ShowPortStatus(std::string_view status) = 0;
};

}  // namespace korvani::app
