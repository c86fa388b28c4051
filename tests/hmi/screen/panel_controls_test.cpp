// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/screen/panel_controls.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "fakes/fake_panel_view.h"
#include "fakes/fake_platform.h"

namespace korvani::hmi::screen {
namespace {

class PanelControlsTest : public ::testing::Test {
 protected:
  PanelControlsTest() {
    Screen.SetAvailableHeights(6300, 9300);
    Layout3x2(Screen.Layouts());
    Screen.SetResetHooks({{}, {}, [this] { Controls.ResetPanelControls(); }, {}});
    Controls.SetTerminalFunctionsHook([this](bool available) { View.TerminalFunctions = available; });
    Screen.ScreenSetup(40);
  }

  std::array<bool, kMaskedControls> Shown(std::initializer_list<PanelControl> controls) {
    std::array<bool, kMaskedControls> shown{};
    for (const PanelControl control : controls) {
      shown[static_cast<std::size_t>(control)] = true;
    }
    return shown;
  }

  fakes::FakeSurface Surface;
  fakes::FakePanelView View;
  fakes::FakeDialogs Dialogs;
  int Connects = 0;
  hmi::screen::Screen Screen{Surface, View, Dialogs, [](std::string_view) {}};
  PanelControls Controls{Screen, View, [this] { ++Connects; }};
};

TEST_F(PanelControlsTest, EveryBitOfTheMaskHasItsControls) {
  for (int bit = 0; bit < kMaskedControls; ++bit) {
    char mask[8];
    std::snprintf(mask, sizeof mask, "%X", 1 << bit);
    Controls.ApplyControlMask(mask);
    EXPECT_EQ(View.Controls, Shown({static_cast<PanelControl>(bit)})) << "bit " << bit;
    EXPECT_FALSE(View.TerminalFunctions);
  }
  Controls.ApplyControlMask("80");
  EXPECT_EQ(View.Controls, Shown({}));
  EXPECT_TRUE(View.TerminalFunctions);
}

TEST_F(PanelControlsTest, FullEmptyAndMixedMasks) {
  Controls.ApplyControlMask("FF");
  EXPECT_EQ(View.Controls,
            Shown({PanelControl::Connect, PanelControl::Reset, PanelControl::Cls, PanelControl::Rulers,
                   PanelControl::AspectRatio, PanelControl::Width, PanelControl::ShowTrace}));
  EXPECT_TRUE(View.TerminalFunctions);
  Controls.SetTerminalMode(true);
  Controls.ApplyControlMask("");  // everything off, even in terminal mode
  EXPECT_EQ(View.Controls, Shown({}));
  EXPECT_FALSE(View.TerminalFunctions);
  Controls.ApplyControlMask("21");
  EXPECT_EQ(View.Controls, Shown({PanelControl::Connect, PanelControl::Width}));
  Controls.ApplyControlMask("1ff");  // higher bits are ignored
  EXPECT_TRUE(View.Controls[static_cast<std::size_t>(PanelControl::ShowTrace)]);
  Controls.ApplyControlMask("21");
  // Wider than 16 bits: the message is abandoned and nothing changes.
  EXPECT_THROW(Controls.ApplyControlMask("100FF"), std::out_of_range);
  EXPECT_EQ(View.Controls, Shown({PanelControl::Connect, PanelControl::Width}));
}

TEST_F(PanelControlsTest, ResetShowsOnlyConnectAndTerminalFunctionsInTerminalMode) {
  Controls.ApplyControlMask("FF");
  Screen.ScreenReset();
  EXPECT_EQ(View.Controls, Shown({PanelControl::Connect}));
  EXPECT_FALSE(View.TerminalFunctions);
  Controls.SetTerminalMode(true);
  Screen.ScreenReset();
  EXPECT_TRUE(View.TerminalFunctions);
}

TEST_F(PanelControlsTest, LayoutChangeKeepsTheColumnsAndSendsTheConnectCode) {
  const int rows[] = {23, 26, 32, 35};
  for (int option = 0; option < 4; ++option) {
    Controls.ChooseLayout(option);
    EXPECT_EQ(Screen.ScreenColumns(), 40);
    EXPECT_EQ(Screen.ScreenRows(), rows[option]);
  }
  EXPECT_EQ(Connects, 4);
}

TEST_F(PanelControlsTest, WidthBoxRefitsOnlyWhenTheCountChanges) {
  View.WidthBox = "40";
  const int clears = Surface.Clears;
  Controls.ApplyWidthBox();
  EXPECT_EQ(Surface.Clears, clears);  // 40 already: nothing
  View.WidthBox = "40.6";
  Controls.ApplyWidthBox();
  EXPECT_EQ(Screen.ScreenColumns(), 41);
  View.WidthBox = "110";
  Controls.ApplyWidthBox();
  EXPECT_EQ(Screen.ScreenColumns(), 107);
  EXPECT_EQ(Screen.ScreenRows(), 61);
  EXPECT_EQ(Dialogs.Boxes.size(), 1U);
  EXPECT_EQ(Connects, 0);  // no message to the board
}

TEST_F(PanelControlsTest, WidthBoxRefusesCountsTheScreenCannotTake) {
  for (const char* text : {"-3", "0", "0.4", "-0.6", "abc", "99999"}) {
    View.WidthBox = text;
    const int clears = Surface.Clears;
    EXPECT_NO_THROW(Controls.ApplyWidthBox()) << text;
    EXPECT_EQ(Screen.ScreenColumns(), 40) << text;
    EXPECT_EQ(Surface.Clears, clears) << text;
  }
}

TEST(TerminalModeTest, SlashTAsAnArgumentOfItsOwnInEitherCase) {
  EXPECT_TRUE(PanelControls::TerminalModeFrom({"--port", "/dev/ttyUSB0", "/T"}));
  EXPECT_TRUE(PanelControls::TerminalModeFrom({"/t"}));
  EXPECT_FALSE(PanelControls::TerminalModeFrom({"--port", "/tmp/board"}));  // a path is no switch
  EXPECT_FALSE(PanelControls::TerminalModeFrom({}));
}

}  // namespace
}  // namespace korvani::hmi::screen
