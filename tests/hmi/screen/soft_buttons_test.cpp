// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/screen/soft_buttons.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "fakes/arguments.h"
#include "fakes/fake_panel_view.h"
#include "fakes/fake_platform.h"

namespace korvani::hmi::screen {
namespace {

using fakes::Args;

class SoftButtonsTest : public ::testing::Test {
 protected:
  SoftButtonsTest() {
    Screen.SetAvailableHeights(6300, 9300);
    Screen.RecordDefaultColours(kDesignedForeColour, kDesignedBackColour);
    Layout3x2(Screen.Layouts());
    Screen.SetResetHooks({[this] { Buttons.ButtonEvent('I', -1); },
                          [this] { Buttons.ResetButtons(); },
                          {},
                          [this] { Buttons.PlaceButtons(); }});
    Screen.ScreenSetup(40);  // 120 x 240 twip cells, inner 4800 x 6180
    Screen.ScreenReset();
  }

  void Define(std::vector<std::string> values) { Buttons.DefineButton(Args(std::move(values))); }

  fakes::FakeSurface Surface;
  fakes::FakePanelView View;
  fakes::FakeDialogs Dialogs;
  fakes::FakeTimer Timer;
  std::vector<std::string> Sent;
  bool Intro = false;
  std::vector<std::string> IntroLog;
  hmi::screen::Screen Screen{Surface, View, Dialogs, [this](std::string_view m) { Sent.emplace_back(m); }};
  SoftButtons Buttons{Screen,
                      View,
                      Timer,
                      [this](std::string_view m) { Sent.emplace_back(m); },
                      {[this] { return Intro; }, [this] { Intro = false; },
                       [this](std::string_view text) { IntroLog.push_back("toast " + std::string(text)); },
                       [this] { IntroLog.emplace_back("home page"); }}};
};

TEST_F(SoftButtonsTest, ResetLaysOutF1ToF8InTheirGrid) {
  const std::int32_t lefts[] = {60, 1260, 2460, 3660};
  for (int i = 0; i < 8; ++i) {
    const HMIButton& button = View.Buttons[static_cast<std::size_t>(i)];
    EXPECT_EQ(button.Caption, "F" + std::to_string(i + 1));
    EXPECT_EQ(Buttons.Button(i).SendText, std::to_string(i + 1));
    EXPECT_TRUE(button.Visible);
    EXPECT_EQ(button.Left, lefts[i % 4]);
    EXPECT_EQ(button.Top, i < 4 ? 4440 : 5400);
    EXPECT_EQ(button.Width, 1080);
    EXPECT_EQ(button.Height, 540);
  }
  EXPECT_FALSE(View.Buttons[8].Visible);
  EXPECT_FALSE(View.Buttons[99].Visible);
}

TEST_F(SoftButtonsTest, DefinedButtonSitsInsideItsBlockOfCells) {
  Define({"10", "2", "3", "3", "8", "Start", "", "GO"});
  const HMIButton& button = View.Buttons[9];
  EXPECT_EQ(button.Top, static_cast<std::int32_t>(2.5 * 240));
  EXPECT_EQ(button.Left, static_cast<std::int32_t>(3.25 * 120));
  EXPECT_EQ(button.Height, 2 * 240);
  EXPECT_EQ(button.Width, static_cast<std::int32_t>(7.5 * 120));
  EXPECT_EQ(button.Caption, "Start");
  EXPECT_TRUE(button.Visible);
  EXPECT_EQ(View.Front, 9);
  EXPECT_TRUE(Buttons.Button(9).Defined);

  Define({"10", "", "", "", "", "Stop"});  // only the caption changes
  EXPECT_EQ(View.Buttons[9].Caption, "Stop");
  EXPECT_EQ(View.Buttons[9].Top, 600);
  EXPECT_EQ(Buttons.Button(9).SendText, "GO");
}

TEST_F(SoftButtonsTest, AutoNumberingTakesTheHighestFreeNumber) {
  Define({"", "1", "1", "2", "5", "A", "", "a"});
  EXPECT_TRUE(Buttons.Button(99).Defined);
  Define({"", "1", "1", "2", "5", "B", "", "b"});
  EXPECT_TRUE(Buttons.Button(98).Defined);
  EXPECT_EQ(Buttons.NextAvailableButton(), 97);
  Buttons.RemoveAllButtons();
  EXPECT_EQ(Buttons.NextAvailableButton(), 99);
  EXPECT_FALSE(View.Buttons[0].Visible);
  EXPECT_EQ(Buttons.Button(0).SendText, "");
}

TEST_F(SoftButtonsTest, NumbersOutsideTheTableDoNothing) {
  Define({"0", "1", "1", "2", "5", "X"});
  Define({"101", "1", "1", "2", "5", "X"});
  for (int i = 8; i < kButtonCount; ++i) {
    EXPECT_FALSE(Buttons.Button(i).Defined) << i;
  }
  EXPECT_THROW(Define({"40000"}), std::out_of_range);
}

struct FlagCase {
  const char* Flags;
  bool Visible;
  std::int16_t RepeatMode;
  std::int16_t RepeatRate;
};

class SoftButtonFlagsTest : public SoftButtonsTest, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(SoftButtonFlagsTest, FlagsSetVisibilityAndRepeat) {
  Define({"20", "1", "1", "2", "5", "X", GetParam().Flags});
  EXPECT_EQ(View.Buttons[19].Visible, GetParam().Visible);
  EXPECT_EQ(Buttons.Button(19).RepeatMode, GetParam().RepeatMode);
  if (GetParam().RepeatMode == 1) {
    EXPECT_EQ(Buttons.Button(19).RepeatRate, GetParam().RepeatRate);
  }
}

INSTANTIATE_TEST_SUITE_P(Flags, SoftButtonFlagsTest,
                         ::testing::Values(FlagCase{"0", true, 0, 0}, FlagCase{"1", true, 0, 0},
                                           FlagCase{"I", false, 0, 0}, FlagCase{"1I", false, 0, 0},
                                           FlagCase{"i", true, 0, 0}, FlagCase{"R", true, 1, 5},
                                           FlagCase{"R10", true, 1, 10}, FlagCase{"R3", true, 1, 3},
                                           FlagCase{"R0", true, 1, 5}, FlagCase{"R-2", true, 1, 5},
                                           FlagCase{"IR7", false, 1, 7}, FlagCase{"r", true, 0, 0}));

TEST_F(SoftButtonsTest, DefinedButtonKeepsRepeatAndVisibilityUntilFreed) {
  Define({"30", "1", "1", "2", "5", "X", "R"});
  Define({"30", "", "", "", "", "", "0"});  // flags without R keep the repeat
  EXPECT_EQ(Buttons.Button(29).RepeatMode, 1);
  Buttons.RemoveAllButtons();
  Define({"30", "1", "1", "2", "5", "X"});
  EXPECT_EQ(Buttons.Button(29).RepeatMode, 0);

  Define({"40", "1", "1", "2", "5", "X", "I"});
  Screen.ScreenReset();
  Define({"40", "", "", "", "", "Y"});  // explicit number, empty flags: stays hidden
  EXPECT_FALSE(View.Buttons[39].Visible);
}

TEST_F(SoftButtonsTest, NegativeHeightStopsTheMessageAfterTheFieldsBefore) {
  Define({"50", "4", "4", "1", "5", "Cap"});
  EXPECT_EQ(View.Buttons[49].Height, 0);  // a height of one row gives a button of height 0
  EXPECT_THROW(Define({"50", "6", "", "-3", "9", "New"}), std::out_of_range);
  EXPECT_EQ(View.Buttons[49].Top, 1560);  // (6 + 0.5) rows
  EXPECT_EQ(View.Buttons[49].Caption, "Cap");
}

// The state machine, row by row: press and release of plain and repeating buttons.
TEST_F(SoftButtonsTest, PlainButtonFiresOnceOnRelease) {
  Buttons.ButtonEvent('D', 0);
  EXPECT_EQ(Buttons.Button(0).PressState, Pressed);
  EXPECT_FALSE(Timer.Enabled());
  Buttons.ButtonEvent('T', -1);  // ticks change nothing for a plain button
  Buttons.ButtonEvent('D', 0);
  EXPECT_TRUE(Sent.empty());
  Buttons.ButtonEvent('U', 0);
  EXPECT_EQ(Sent, (std::vector<std::string>{"1\x04"}));
  EXPECT_EQ(Buttons.Button(0).PressState, Idle);
  EXPECT_EQ(Buttons.PressedButtonIndex(), -1);
  Buttons.ButtonEvent('U', 0);  // a release on an idle button does nothing
  EXPECT_EQ(Sent.size(), 1U);
}

TEST_F(SoftButtonsTest, RepeatingButtonFiresAt250ThenEveryPeriod) {
  Define({"60", "1", "1", "2", "5", "Jog", "R", "J"});
  Buttons.ButtonEvent('D', 59);
  EXPECT_EQ(Buttons.Button(59).PressState, RepeatWait);
  EXPECT_EQ(Timer.Interval(), 250);
  Timer.Advance(249);
  EXPECT_TRUE(Sent.empty());
  Timer.Advance(1);  // 250 ms
  EXPECT_EQ(Sent.size(), 1U);
  EXPECT_EQ(Timer.Interval(), 200);
  Timer.Advance(200);  // 450 ms
  Timer.Advance(200);  // 650 ms
  EXPECT_EQ(Sent.size(), 3U);
  Buttons.ButtonEvent('U', 59);  // no firing on release once repeating
  EXPECT_EQ(Sent.size(), 3U);
  EXPECT_FALSE(Timer.Enabled());
  EXPECT_EQ(Sent.front(), "J\x04");
}

TEST_F(SoftButtonsTest, QuickReleaseOfARepeatingButtonFiresOnce) {
  Define({"60", "1", "1", "2", "5", "Jog", "R10", "J"});
  Buttons.ButtonEvent('D', 59);
  Timer.Advance(100);
  Buttons.ButtonEvent('U', 59);
  EXPECT_EQ(Sent.size(), 1U);
  EXPECT_FALSE(Timer.Enabled());

  Buttons.ButtonEvent('D', 59);
  Timer.Advance(250);
  EXPECT_EQ(Timer.Interval(), 100);  // R10
  Define({"61", "1", "1", "2", "5", "Slow", "R3", "S"});
  Buttons.ButtonEvent('U', 59);
  Buttons.ButtonEvent('D', 60);
  Timer.Advance(250);
  EXPECT_EQ(Timer.Interval(), 333);  // R3
  Buttons.ButtonEvent('U', 60);

  // A rate whose interval rounds to 0 ms stops the repeat, as a window timer at 0 does:
  // one transmission at 250 ms, then none, however long the button is held.
  Define({"62", "1", "1", "2", "5", "Fast", "R2000", "F"});
  Sent.clear();
  Buttons.ButtonEvent('D', 61);
  Timer.Advance(1000);
  EXPECT_EQ(Sent.size(), 1U);
  EXPECT_FALSE(Timer.Enabled());
  Buttons.ButtonEvent('U', 61);
  EXPECT_EQ(Sent.size(), 1U);
}

TEST_F(SoftButtonsTest, ResetForgetsTheHeldButtonAndTheNextTickStopsTheTimer) {
  Define({"60", "1", "1", "2", "5", "Jog", "R", "J"});
  Buttons.ButtonEvent('D', 59);
  Screen.ScreenReset();  // "I"
  EXPECT_EQ(Buttons.PressedButtonIndex(), -1);
  EXPECT_TRUE(Timer.Enabled());
  Timer.Tick();
  EXPECT_FALSE(Timer.Enabled());
  EXPECT_TRUE(Sent.empty());
}

TEST_F(SoftButtonsTest, EmptySendTextSendsEotAlone) {
  Define({"70", "1", "1", "2", "5", "Empty"});
  Buttons.Press(69);
  Buttons.Release(69);
  EXPECT_EQ(Sent, (std::vector<std::string>{"\x04"}));
}

TEST_F(SoftButtonsTest, DuringTheIntroF1AndF2ActLocallyAndNothingFires) {
  Intro = true;
  Buttons.Press(2);  // F3: nothing
  Buttons.Release(2);
  EXPECT_TRUE(Sent.empty());

  Buttons.Press(1);  // F2: the maker's home page, then a reset
  EXPECT_TRUE(Intro);
  Buttons.Release(1);
  Buttons.Press(0);  // F1: the intro ends, with a notice
  Buttons.Release(0);
  EXPECT_FALSE(Intro);
  EXPECT_EQ(IntroLog, (std::vector<std::string>{"home page", "toast " + std::string(kIntroF1Toast)}));
  EXPECT_TRUE(Sent.empty());
}

// F1 to F8 on the keyboard: the shown button of that number, held while the key is down and
// repeating by its own setting; a hidden button, or a key outside them, does nothing.
TEST_F(SoftButtonsTest, FunctionKeysHoldTheShownButtonsOneToEight) {
  Buttons.ResetButtons();
  EXPECT_TRUE(Buttons.KeyDown(3));
  EXPECT_TRUE(Sent.empty());
  EXPECT_TRUE(Buttons.KeyUp(3));
  EXPECT_EQ(Sent, (std::vector<std::string>{"3\x04"}));

  Define({"5", "1", "1", "2", "5", "Hidden", "I", "h"});
  EXPECT_FALSE(Buttons.KeyDown(5));
  Define({"5", "1", "1", "2", "5", "Shown", "1", "s"});
  EXPECT_FALSE(Buttons.KeyUp(5));  // it went down while hidden: nothing to let go
  EXPECT_FALSE(Buttons.KeyDown(0));
  EXPECT_FALSE(Buttons.KeyDown(9));

  Define({"2", "1", "1", "2", "5", "Jog", "R", "J"});
  Sent.clear();
  EXPECT_TRUE(Buttons.KeyDown(2));
  Timer.Advance(450);
  EXPECT_TRUE(Buttons.KeyUp(2));
  EXPECT_EQ(Sent.size(), 2U);
  EXPECT_FALSE(Timer.Enabled());

  // The window loses the keyboard while the key is down: no key-up comes, the button lets go.
  EXPECT_TRUE(Buttons.KeyDown(2));
  Buttons.ReleaseKeys();
  EXPECT_FALSE(Timer.Enabled());
  EXPECT_FALSE(Buttons.KeyUp(2));
}

// On a refitted screen every button is where its cells say at the new cell size: the board's
// own from what it gave, F1 to F8 in their grid as a reset would put them.
TEST_F(SoftButtonsTest, ARefittedScreenPlacesTheButtonsAgainFromTheirCells) {
  Buttons.ResetButtons();
  Define({"10", "2", "3", "3", "8", "Start", "", "GO"});
  Define({"10", "", "", "", "", "Stop"});  // only the caption: the cells stay
  Screen.Refit(12000, 14000);
  ASSERT_GT(Screen.CellHeight(), 240);
  const HMIButton start = View.Buttons[9];
  EXPECT_EQ(start.Caption, "Stop");
  EXPECT_GT(start.Top, static_cast<std::int32_t>(2.5 * 240));
  Define({"10", "2", "3", "3", "8"});  // the same cells given at this size
  EXPECT_EQ(start.Top, View.Buttons[9].Top);
  EXPECT_EQ(start.Left, View.Buttons[9].Left);
  EXPECT_EQ(start.Height, View.Buttons[9].Height);
  EXPECT_EQ(start.Width, View.Buttons[9].Width);
  const HMIButton f3 = View.Buttons[2];
  Buttons.ResetButtons();
  EXPECT_EQ(f3.Top, View.Buttons[2].Top);
  EXPECT_EQ(f3.Left, View.Buttons[2].Left);
  EXPECT_EQ(f3.Width, View.Buttons[2].Width);
}

}  // namespace
}  // namespace korvani::hmi::screen
