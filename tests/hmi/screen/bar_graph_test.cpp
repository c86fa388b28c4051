// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/screen/bar_graph.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/arguments.h"
#include "fakes/fake_panel_view.h"
#include "fakes/fake_platform.h"

namespace korvani::hmi::screen {
namespace {

using fakes::Args;

class BarGraphTest : public ::testing::Test {
 protected:
  BarGraphTest() {
    Screen.SetAvailableHeights(6300, 9300);
    Screen.RecordDefaultColours(kDesignedForeColour, kDesignedBackColour);
    Layout3x2(Screen.Layouts());
    Screen.ScreenSetup(40);  // 120 x 240 twip cells
    Screen.ScreenReset();
  }

  fakes::FakeSurface Surface;
  fakes::FakePanelView View;
  fakes::FakeDialogs Dialogs;
  hmi::screen::Screen Screen{Surface, View, Dialogs, [](std::string_view) {}};
};

TEST_F(BarGraphTest, FillsItsShareInTheForegroundColour) {
  Screen.SetForeColour("0", "255", "0");
  Screen.SetBackColour("0", "0", "128");
  Surface.Rects.clear();
  DrawBarGraph(Screen, Args({"5", "2", "1", "10", "0.3"}));
  ASSERT_EQ(Surface.Rects.size(), 2U);
  EXPECT_DOUBLE_EQ(Surface.Rects[0].X1, 240);
  EXPECT_DOUBLE_EQ(Surface.Rects[0].Y1, 1200);
  // The surface fills the corner pixels too: each bar ends one pixel (15 twips) early.
  EXPECT_DOUBLE_EQ(Surface.Rects[0].X2, 240 + 1200 - 15);
  EXPECT_DOUBLE_EQ(Surface.Rects[0].Y2, 1200 + 240 - 15);
  EXPECT_EQ(Surface.Rects[0].Colour, 0x800000);
  EXPECT_DOUBLE_EQ(Surface.Rects[1].X2, 240 + 360 - 15);
  EXPECT_EQ(Surface.Rects[1].Colour, 0x00FF00);

  DrawBarGraph(Screen, Args({"5", "2", "1", "10", "-1"}));  // the background only
  ASSERT_EQ(Surface.Rects.size(), 3U);
  EXPECT_EQ(Surface.Rects[2].Colour, 0x800000);
  DrawBarGraph(Screen, Args({"5", "2", "1", "10", "2"}));
  EXPECT_DOUBLE_EQ(Surface.Rects[4].X2, 240 + 1200 - 15);

  // Taller than 16 bits of twips, as a screen grown to a large display makes it.
  DrawBarGraph(Screen, Args({"0", "0", "200", "1", "1"}));
  ASSERT_EQ(Surface.Rects.size(), 7U);
  EXPECT_DOUBLE_EQ(Surface.Rects[6].Y2, 200 * 240 - 15);
}

}  // namespace
}  // namespace korvani::hmi::screen
