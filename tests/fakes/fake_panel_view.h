// Records what the panel shows.
#pragma once

#include <string>

#include "app/panel_view.h"

namespace korvani::fakes {

class FakePanelView final : public app::PanelView {
 public:
  void ShowRxText(std::string_view text) override {
    RxText.assign(text);
    ++RxUpdates;
  }
  void SetFreezeCaption(std::string_view caption) override { FreezeCaption.assign(caption); }
  void ShowTestEcho(std::string_view hexListing) override { TestEcho.assign(hexListing); }
  void ShowPortStatus(std::string_view status) override { PortStatus.assign(status); }

  std::string RxText;
  int RxUpdates = 0;
  std::string FreezeCaption = "Freeze";
  std::string TestEcho;
  std::string PortStatus;
};

}  // namespace korvani::fakes
