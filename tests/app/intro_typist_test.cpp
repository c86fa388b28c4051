// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/intro_typist.h"

#include <gtest/gtest.h>

#include "fakes/fake_panel_view.h"
#include "fakes/fake_platform.h"
#include "fakes/temp_folder.h"
#include "hmi/screen/screen_commands.h"

namespace korvani::app {
namespace {

class IntroTypistTest : public ::testing::Test {
 protected:
  IntroTypistTest() {
    Screen.SetAvailableHeights(6300, 9300);
    hmi::screen::Layout3x2(Screen.Layouts());
    Screen.ScreenSetup(40);  // 120 x 240 twip cells
    Screen.ScreenReset();
  }

  // Runs ticks until the typist has nothing more to do.
  void RunTicks(int ticks) {
    for (int i = 0; i < ticks; ++i) {
      Timer.Tick();
    }
  }

  fakes::TempFolder Folder;
  fakes::FakeSurface Surface;
  fakes::FakePanelView View;
  fakes::FakeDialogs Dialogs;
  fakes::FakeTimer Timer;
  bool Intro = true;
  hmi::screen::Screen Screen{Surface, View, Dialogs, [](std::string_view) {}};
  hmi::link::CommandTable Commands;
  bool Bound = (hmi::screen::BindScreenCommands(Commands, Screen), true);
  IntroTypist Typist{[this](char command, const hmi::link::Arguments& args) {
                       hmi::screen::DrawCommand(Commands, Screen, command, args);
                     },
                     Timer, [this] { return Intro; }, Folder.File("splash_message.txt")};
};

TEST_F(IntroTypistTest, TypesEachLineAndBreaksTheRowAndHidesRulerLines) {
  Folder.Write("splash_message.txt", "ab\r\n.123456789.123456789\r\n\r\ncd\r\n");
  Typist.Start();
  EXPECT_EQ(Timer.Interval(), 20);
  RunTicks(30);
  std::string typed;
  for (const auto& text : Surface.Texts) {
    typed += text.Value;
  }
  EXPECT_EQ(typed, "abcd");
  ASSERT_EQ(Surface.Texts.size(), 4U);
  EXPECT_DOUBLE_EQ(Surface.Texts[1].X, 1 + 120);      // b follows a
  EXPECT_DOUBLE_EQ(Surface.Texts[2].Y, 1 + 2 * 240);  // c two rows down: the empty line is a row
  EXPECT_DOUBLE_EQ(Surface.Texts[2].X, 0);
  EXPECT_EQ(Screen.CursorY(), 1 + 3 * 240);  // a line break after the last line
  // All typed while the intro still shows: the typist waits at a second's pace, not the
  // typing's millisecond.
  EXPECT_EQ(Timer.Interval(), 1000);
  EXPECT_EQ(Typist.SplashState(), IntroTypist::EndOfFile);
}

TEST_F(IntroTypistTest, StopsAsSoonAsTheIntroEnds) {
  Folder.Write("splash_message.txt", "abcdef\r\n");
  Typist.Start();
  RunTicks(4);  // open, read, a, b
  Intro = false;
  RunTicks(10);
  EXPECT_EQ(Surface.Texts.size(), 2U);
  EXPECT_EQ(Typist.SplashState(), IntroTypist::Idle);
  EXPECT_EQ(Timer.Interval(), 1000);
}

TEST_F(IntroTypistTest, NoFileTypesNothingAndKeepsLooking) {
  Typist.Start();
  RunTicks(5);
  EXPECT_TRUE(Surface.Texts.empty());
  EXPECT_EQ(Typist.SplashState(), IntroTypist::Idle);
  EXPECT_EQ(Timer.Interval(), 1000);  // looking again once a second, not at 20 ms
  Folder.Write("splash_message.txt", "x");
  RunTicks(1);
  EXPECT_EQ(Timer.Interval(), 20);  // found: back to the typist's pace
  RunTicks(2);
  EXPECT_EQ(Surface.Texts.size(), 1U);
}

}  // namespace
}  // namespace korvani::app
