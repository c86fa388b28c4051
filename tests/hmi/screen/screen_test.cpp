// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/screen/screen.h"

#include "hmi/screen/screen_commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_panel_view.h"
#include "fakes/fake_surface.h"

namespace korvani::hmi::screen {
namespace {

struct PositionCase {
  const char* Text;
  std::int16_t Cell;
  std::int16_t Total;
  float Offset;
  std::int32_t Expected;
};

std::ostream& operator<<(std::ostream& out, const PositionCase& c) {
  return out << '"' << c.Text << "\" cell " << c.Cell << " total " << c.Total << " offset " << c.Offset;
}

class ResolvePositionTest : public ::testing::TestWithParam<PositionCase> {};

TEST_P(ResolvePositionTest, TurnsAnArgumentIntoTwips) {
  const auto& c = GetParam();
  EXPECT_EQ(Screen::ResolvePosition(c.Text, c.Cell, c.Total, c.Offset), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ResolvePositionTest,
    ::testing::Values(PositionCase{"", 120, 4800, 0, 0}, PositionCase{"   ", 120, 4800, 2, 0},
                      PositionCase{"0", 120, 4800, 0, 0}, PositionCase{"0", 120, 4800, 1, 120},
                      PositionCase{"3", 120, 4800, 0, 360}, PositionCase{" 3 ", 120, 4800, 0, 360},
                      PositionCase{"3", 120, 4800, 0.5F, 420}, PositionCase{"-0", 120, 4800, 0, 4680},
                      PositionCase{"-1", 120, 4800, 0, 4560}, PositionCase{"-3", 240, 6240, 0, 5280},
                      PositionCase{"0.5", 120, 4800, 0, 2400}, PositionCase{"0.5", 120, 4801, 0, 2400},
                      PositionCase{"0.5", 120, 4803, 0, 2402}, PositionCase{"-0.25", 120, 4800, 0, 3600},
                      PositionCase{"C", 120, 4800, 0, 2400}, PositionCase{"c", 120, 4800, 0, 2400},
                      PositionCase{"C-2", 120, 4800, 0, 2160}, PositionCase{"C3", 120, 4800, 0, 2760},
                      PositionCase{"3C", 120, 4800, 0, 360}, PositionCase{"X", 120, 4800, 0, 0},
                      PositionCase{"0.000001", 120, 4800, 0, 0}, PositionCase{"1", 240, 6240, 0, 240}));

class ScreenTest : public ::testing::Test {
 protected:
  ScreenTest() {
    Subject.SetAvailableHeights(6300, 9300);
    Subject.RecordDefaultColours(kDesignedForeColour, kDesignedBackColour);
    Layout3x2(Subject.Layouts());
  }

  // Start-up's screen: 40 columns of 120 x 240 twip cells, reset.
  void StartScreen() {
    Subject.ScreenSetup(40);
    Subject.ScreenReset();
  }

  fakes::FakeSurface Surface;
  fakes::FakePanelView View;
  fakes::FakeDialogs Dialogs;
  std::vector<std::string> Sent;
  Screen Subject{Surface, View, Dialogs, [this](std::string_view message) { Sent.emplace_back(message); }};
};

TEST_F(ScreenTest, SetupPicksTheLargestFontThatFitsTheRows) {
  Subject.ScreenSetup(40);
  EXPECT_EQ(Subject.ScreenRows(), 26);
  EXPECT_EQ(Subject.ScreenColumns(), 40);
  EXPECT_EQ(Surface.Family, "Courier New");
  EXPECT_DOUBLE_EQ(Surface.Points, 10.0);  // 26 x 240 = 6240 fits 6300; 10.25 points would not
  EXPECT_FLOAT_EQ(Subject.CellWidth(), 120);
  EXPECT_FLOAT_EQ(Subject.CellHeight(), 240);
  EXPECT_DOUBLE_EQ(Surface.Width, 40 * 120 + 2 * fakes::FakeSurface::kBorder);
  EXPECT_DOUBLE_EQ(Surface.InnerWidth(), 40 * 120);
  EXPECT_DOUBLE_EQ(Surface.Height, 26 * 240);
  EXPECT_DOUBLE_EQ(View.TitleWidth, Surface.Width);
  EXPECT_EQ(Surface.Clears, 1);
}

TEST_F(ScreenTest, SetupWithZeroKeepsTheCountAndRefitsForTheHiddenLogPane) {
  Subject.ScreenSetup(40);
  Subject.SetLogPaneVisible(false);
  Subject.ScreenSetup(0);
  EXPECT_EQ(Subject.ScreenColumns(), 40);
  EXPECT_DOUBLE_EQ(Surface.Points, 14.75);  // 26 x 24 x 14.75 = 9204 fits 9300
}

TEST_F(ScreenTest, TooManyColumnsAreClampedAfterAWarning) {
  Subject.ScreenSetup(200);
  ASSERT_EQ(Dialogs.Boxes.size(), 1U);
  EXPECT_EQ(Dialogs.Boxes[0].Text, "That's more characters than I can handle!");
  EXPECT_EQ(Dialogs.Boxes[0].Title, "Limit exceeded");
  EXPECT_EQ(Dialogs.Boxes[0].Icon, base::MessageIcon::Exclamation);
  EXPECT_EQ(Subject.ScreenColumns(), 107);
  EXPECT_EQ(Subject.ScreenRows(), 61);
  EXPECT_EQ(View.WidthBox, "107");
}

TEST_F(ScreenTest, NegativeColumnsAreRejectedBeforeAnythingChanges) {
  Subject.ScreenSetup(40);
  EXPECT_THROW(Subject.ScreenSetup(-3), std::invalid_argument);
  EXPECT_EQ(Subject.RequestedColumns(), 40);
  EXPECT_EQ(Surface.Clears, 1);
}

TEST_F(ScreenTest, ZeroRowsGiveAScreenOfNoHeightAndNoSizeFitsGivesThreePoints) {
  Subject.Layouts().SetLayoutRows(50, 0);
  Subject.ScreenSetup(50);
  EXPECT_EQ(Subject.ScreenRows(), 0);
  EXPECT_DOUBLE_EQ(Surface.Height, 0);
  EXPECT_DOUBLE_EQ(Surface.Points, 30);

  Subject.SetAvailableHeights(10, 10);
  Subject.ScreenSetup(40);
  EXPECT_DOUBLE_EQ(Surface.Points, 3);
}

TEST_F(ScreenTest, FontSizesAreMeasuredOncePerSize) {
  Subject.ScreenSetup(40);
  const int first = Surface.Measurements;
  Subject.ScreenSetup(40);
  EXPECT_EQ(Surface.Measurements, first);
}

TEST_F(ScreenTest, ResetRestoresTitleColoursFramingAndCursor) {
  std::vector<std::string> order;
  Subject.SetResetHooks({[&] { order.emplace_back("forget"); },
                         [&] { order.emplace_back("buttons"); },
                         [&] { order.emplace_back("controls"); },
                         {}});
  Subject.ScreenSetup(40);
  Subject.SetForeColour("1", "2", "3");
  Subject.CursorTo("4", "4");
  Subject.ScreenReset();
  EXPECT_EQ(order, (std::vector<std::string>{"forget", "buttons", "controls"}));
  EXPECT_EQ(View.TitleCaption, "--");
  EXPECT_EQ(Subject.ForeColour(), 0xFFFFFF);
  EXPECT_EQ(Subject.BackColour(), 0);
  EXPECT_EQ(Subject.CursorX(), 1);
  EXPECT_EQ(Subject.CursorY(), 1);
  EXPECT_EQ(Subject.ScreenColumns(), 40);
  EXPECT_DOUBLE_EQ(Surface.Points, 10);
}

TEST_F(ScreenTest, PrintCellBoxCoversTheTextWidthAndOneRowLessOnePixel) {
  StartScreen();
  Subject.PrintCell("Hello", 480, 600, 0x00FF00, 0x0000FF);
  ASSERT_EQ(Surface.Rects.size(), 1U);
  const auto& box = Surface.Rects[0];
  EXPECT_DOUBLE_EQ(box.X1, 600);
  EXPECT_DOUBLE_EQ(box.Y1, 480);
  EXPECT_DOUBLE_EQ(box.X2, 600 + 5 * 120);
  EXPECT_DOUBLE_EQ(box.Y2, 480 + 240 - 15);
  EXPECT_EQ(box.Colour, 0x0000FF);
  ASSERT_EQ(Surface.Texts.size(), 1U);
  EXPECT_EQ(Surface.Texts[0].Value, "Hello");
  EXPECT_EQ(Surface.Texts[0].Colour, 0x00FF00);
  EXPECT_GE(Surface.Refreshes, 1);
}

TEST_F(ScreenTest, PrintAtCursorAdvancesByEveryCharacterIncludingControls) {
  StartScreen();
  Subject.PrintAtCursor("");
  EXPECT_TRUE(Surface.Texts.empty());
  EXPECT_EQ(Subject.CursorX(), 1);

  Subject.PrintAtCursor("A\r\nB");
  ASSERT_EQ(Surface.Texts.size(), 1U);
  EXPECT_EQ(Surface.Texts[0].Value,
            "A\xB7\xB7"
            "B");
  EXPECT_EQ(Subject.CursorX(), 1 + 4 * 120);
  EXPECT_EQ(Subject.CursorY(), 1);
}

TEST_F(ScreenTest, FortyCharactersFillTheRowExactly) {
  StartScreen();
  Subject.CursorTo("0", "0");
  Subject.PrintAtCursor(std::string(40, 'W'));
  EXPECT_DOUBLE_EQ(Surface.Rects.back().X2, Surface.InnerWidth());
  EXPECT_EQ(Subject.CursorX(), Surface.InnerWidth());
}

// What a script reads: the characters where the board put them, in their colour, with
// positions counted from the ends and text past the row's end dropped; a clear blanks them.
TEST_F(ScreenTest, TheCharactersShownAreKeptCellByCell) {
  StartScreen();
  const TextCells& cells = Subject.Characters();
  ASSERT_EQ(cells.Rows(), 26);
  ASSERT_EQ(cells.Columns(), 40);
  Subject.CursorTo("2", "5");
  Subject.SetForeColour("255", "0", "0");
  Subject.PrintAtCursor("Temp\x01");
  Subject.CursorTo("-0", "-2");
  Subject.PrintAtCursor("OK!?");
  EXPECT_EQ(cells.Row(2)->substr(0, 12), "     Temp\xB7  ");
  EXPECT_EQ(cells.Row(25)->substr(37), "OK!");
  EXPECT_EQ(cells.Find("Temp"), std::make_pair(2, 5));
  EXPECT_EQ(cells.Find("K!"), std::make_pair(25, 38));
  EXPECT_FALSE(cells.Find("?").has_value());
  EXPECT_EQ(cells.ForeAt(2, 5), 255);
  EXPECT_EQ(cells.ForeAt(2, 4), kDesignedForeColour);
  EXPECT_FALSE(cells.Row(26).has_value());
  EXPECT_FALSE(cells.ForeAt(0, 40).has_value());
  Subject.ClearScreen();
  EXPECT_FALSE(cells.Find("Temp").has_value());
}

TEST_F(ScreenTest, CursorCommands) {
  StartScreen();
  Subject.CursorTo("0", "0");
  EXPECT_EQ(Subject.CursorX(), 0);
  EXPECT_EQ(Subject.CursorY(), 0);
  Subject.CursorTo("2", "5");
  EXPECT_EQ(Subject.CursorY(), 480);
  EXPECT_EQ(Subject.CursorX(), 600);
  Subject.CursorTo(" ", "");  // blank and empty change nothing
  EXPECT_EQ(Subject.CursorY(), 480);
  EXPECT_EQ(Subject.CursorX(), 600);
  Subject.CursorTo("", "-0");
  EXPECT_EQ(Subject.CursorX(), 4800 - 120);
  Subject.CursorTo("", "C-2");
  EXPECT_EQ(Subject.CursorX(), 2400 - 240);

  Subject.CursorTo("2", "5");
  Subject.CursorMove("-1", "");
  EXPECT_EQ(Subject.CursorY(), 240);
  Subject.CursorMove("", "2.5");
  EXPECT_EQ(Subject.CursorX(), 600 + 300);
  Subject.CursorMove("-10", "-100");  // not clamped
  EXPECT_EQ(Subject.CursorY(), 240 - 2400);
  EXPECT_EQ(Subject.CursorX(), 900 - 12000);
}

struct ColourCase {
  const char* Name;
  std::vector<std::array<const char*, 3>> Commands;
  Colour Expected;
};

std::ostream& operator<<(std::ostream& out, const ColourCase& c) {
  return out << c.Name;
}

class ColourTest : public ScreenTest, public ::testing::WithParamInterface<ColourCase> {};

TEST_P(ColourTest, ComponentsAreRememberedAndBadOnesIgnored) {
  for (const auto& rgb : GetParam().Commands) {
    Subject.SetBackColour(rgb[0], rgb[1], rgb[2]);
    Subject.SetForeColour(rgb[0], rgb[1], rgb[2]);
  }
  EXPECT_EQ(Subject.BackColour(), GetParam().Expected);
  EXPECT_EQ(Subject.ForeColour(), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Components, ColourTest,
    ::testing::Values(
        ColourCase{"Red", {{"255", "0", "0"}}, 0x0000FF}, ColourCase{"Blue", {{"0", "0", "255"}}, 0xFF0000},
        ColourCase{"RedRememberedGivesYellow", {{"255", "0", "0"}, {"", "255", ""}}, 0x00FFFF},
        ColourCase{"AboveRangeIgnored", {{"10", "20", "30"}, {"256", "", ""}}, 10 + 20 * 256 + 30 * 65536},
        ColourCase{"HalfRoundsToEven", {{"254.5", "0", "0"}}, 254},
        ColourCase{"HalfAboveRangeIgnored", {{"9", "0", "0"}, {"255.5", "", ""}}, 9},
        ColourCase{"NegativeIgnored", {{"9", "0", "0"}, {"-1", "", ""}}, 9},
        ColourCase{"BlankReadsAsZero", {{"9", "9", "9"}, {" ", "", ""}}, 9 * 256 + 9 * 65536}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.Name); });

TEST_F(ScreenTest, ClearFillsWithTheBackColourAndHomesTheCursor) {
  StartScreen();
  Subject.SetBackColour("0", "0", "255");
  Subject.CursorTo("3", "3");
  Subject.ClearScreen();
  EXPECT_EQ(Surface.Back, 0xFF0000);
  EXPECT_EQ(Subject.CursorX(), 1);
  EXPECT_EQ(Subject.CursorY(), 1);
}

TEST_F(ScreenTest, SetColumnsRepliesAfterTheSetup) {
  StartScreen();
  Subject.SetColumns("20", "OK");
  EXPECT_EQ(Subject.ScreenColumns(), 20);
  EXPECT_EQ(Sent, (std::vector<std::string>{"OK\x04"}));

  Subject.SetColumns("", "");
  EXPECT_EQ(Subject.ScreenColumns(), 20);
  EXPECT_EQ(Sent.back(), "\x04");

  Subject.SetColumns("200", "X");
  EXPECT_EQ(Sent.back(), "X\x04");  // the reply still goes after the warning

  EXPECT_THROW(Subject.SetColumns("40000", "no"), std::out_of_range);
  EXPECT_EQ(Sent.size(), 3U);
}

TEST_F(ScreenTest, ColourStackRestoresThePairUnderTheLastSaved) {
  StartScreen();
  Subject.PopColours();  // after a reset every entry holds the reset pair
  EXPECT_EQ(Subject.ForeColour(), 0xFFFFFF);
  Subject.SetForeColour("255", "0", "0");
  Subject.PushColours();
  Subject.SetForeColour("0", "255", "0");
  Subject.PopColours();
  EXPECT_EQ(Subject.ForeColour(), 0xFFFFFF);  // white on black, not the red that was saved

  Subject.SetForeColour("255", "0", "0");
  Subject.PushColours();
  Subject.SetForeColour("0", "255", "0");
  Subject.PushColours();
  Subject.PopColours();
  EXPECT_EQ(Subject.ForeColour(), 0x0000FF);  // red on black
  EXPECT_EQ(Subject.BackColour(), 0);
}

TEST_F(ScreenTest, SevenPushesThenPopsBringBackTheSavedPairsDownToTheSecond) {
  StartScreen();
  for (int g = 1; g <= 7; ++g) {
    Subject.SetForeColour(std::to_string(g), "0", "0");
    Subject.PushColours();
  }
  for (const int expected : {6, 5, 4, 3, 2, 2, 2}) {
    Subject.PopColours();
    EXPECT_EQ(Subject.ForeColour(), expected);
  }
}

TEST_F(ScreenTest, RulersMarkColumnsAndRowsWithoutMovingTheCursor) {
  StartScreen();
  Subject.CursorTo("3", "4");
  Surface.Texts.clear();
  Subject.DrawRulers();
  ASSERT_EQ(Surface.Texts.size(), 26U);  // the ruler and rows 1 to 25
  EXPECT_EQ(Surface.Texts[0].Value, ".123456789.123456789.123456789.123456789");
  EXPECT_EQ(Surface.Texts[0].Colour, 0);
  EXPECT_EQ(Surface.Rects[0].Colour, 0xFFFF00);
  EXPECT_EQ(Surface.Texts[1].Value, " 1");
  EXPECT_DOUBLE_EQ(Surface.Texts[1].Y, 240);
  EXPECT_EQ(Surface.Texts[25].Value, "25");
  EXPECT_EQ(Subject.CursorX(), 480);
  EXPECT_EQ(Subject.CursorY(), 720);
  EXPECT_EQ(Subject.ForeColour(), 0xFFFFFF);
}

TEST(ResolveSizeTest, CellsOrFractionsOfTheScreen) {
  EXPECT_EQ(Screen::ResolveSize("3", 240, 7200, -1.0F), 480);
  EXPECT_EQ(Screen::ResolveSize("0.5", 240, 7200, -1.0F), 3360);
  EXPECT_EQ(Screen::ResolveSize("2", 240, 7200, 0), 480);
  EXPECT_EQ(Screen::ResolveSize("", 240, 7200, -1.0F), -240);
  EXPECT_EQ(Screen::ResolveSize(" 1 ", 120, 4800, -0.5F), 60);
}

// The board's drawing since the last clear, on a screen refitted to a larger area, is what the
// same commands draw on a screen of that size from the start: text, moves, colours and their
// stack, rulers and a bar graph, the fraction and centre positions included. The commands run
// as the board's messages do, through the command table, which says what is kept.
TEST_F(ScreenTest, ARefitDrawsThePictureAgainAsItsCommandsWouldAtTheNewSize) {
  using Run = std::function<void(char, link::Arguments)>;
  const auto runOn = [](link::CommandTable& table, Screen& screen) -> Run {
    BindScreenCommands(table, screen);
    return [&table, &screen](char command, const link::Arguments& args) {
      try {
        DrawCommand(table, screen, command, args);
      } catch (const std::exception&) {  // abandoned, as the framer abandons a message
      }
    };
  };
  const auto prelude = [](const Run& run) {  // colours saved before the clear, used after it
    run('@', {"before the clear"});
    run('K', {"0", "255", "0"});
    run('G', {});
    run('K', {"1", "2", "3"});
    run('G', {});
    run('R', {});
  };
  const auto draw = [](const Run& run) {
    run('H', {});
    run('@', {"green"});
    run('K', {"255", "0", "0"});
    run('F', {"2", "3"});
    run('@', {"hello"});
    run('G', {});
    run('L', {"0", "0", "255"});
    run('E', {"1", "-2"});
    run('@', {"x"});
    run('H', {});
    run('F', {"0.5", "C-2"});
    run('@', {"middle"});
    run('W', {});
    run('Q', {"-3", "1", "1", "0.5", "0.4"});
    run('Q', {"1", "1", "-2", "1", "0.5"});  // a negative height: the bar fails, alone
    run('@', {"after"});
  };
  StartScreen();
  link::CommandTable table;
  const Run run = runOn(table, Subject);
  prelude(run);
  draw(run);
  Subject.Refit(15000, 16000);
  EXPECT_GT(Subject.FontPoints(), 20.0);

  fakes::FakeSurface surface;
  fakes::FakePanelView view;
  Screen fresh{surface, view, Dialogs, [](std::string_view) {}};
  fresh.SetAvailableHeights(6300, 9300);
  fresh.RecordDefaultColours(kDesignedForeColour, kDesignedBackColour);
  Layout3x2(fresh.Layouts());
  fresh.ScreenSetup(40);
  fresh.ScreenReset();
  fresh.Refit(15000, 16000);
  link::CommandTable freshTable;
  const Run runFresh = runOn(freshTable, fresh);
  prelude(runFresh);
  draw(runFresh);

  EXPECT_DOUBLE_EQ(Subject.FontPoints(), fresh.FontPoints());
  EXPECT_DOUBLE_EQ(Surface.Width, surface.Width);
  ASSERT_EQ(Surface.Texts.size(), surface.Texts.size());
  for (std::size_t i = 0; i < Surface.Texts.size(); ++i) {
    EXPECT_EQ(Surface.Texts[i].Value, surface.Texts[i].Value);
    EXPECT_DOUBLE_EQ(Surface.Texts[i].X, surface.Texts[i].X) << Surface.Texts[i].Value;
    EXPECT_DOUBLE_EQ(Surface.Texts[i].Y, surface.Texts[i].Y) << Surface.Texts[i].Value;
    EXPECT_EQ(Surface.Texts[i].Colour, surface.Texts[i].Colour) << Surface.Texts[i].Value;
  }
  ASSERT_EQ(Surface.Rects.size(), surface.Rects.size());
  for (std::size_t i = 0; i < Surface.Rects.size(); ++i) {
    EXPECT_DOUBLE_EQ(Surface.Rects[i].X2, surface.Rects[i].X2) << i;
    EXPECT_DOUBLE_EQ(Surface.Rects[i].Y2, surface.Rects[i].Y2) << i;
    EXPECT_EQ(Surface.Rects[i].Colour, surface.Rects[i].Colour) << i;
  }
  EXPECT_EQ(Subject.CursorX(), fresh.CursorX());
  EXPECT_EQ(Subject.ForeColour(), fresh.ForeColour());

  // More drawing than is kept, by count or by size: the picture is not drawn again until the
  // next clear.
  const std::string longText(30'000, 'x');
  const std::vector<std::pair<std::function<void()>, std::size_t>> overflows = {
      {[&] { run('E', {"1"}); }, kMostPictureSteps + 1},
      {[&] { run('@', {longText}); }, kMostPictureBytes / longText.size() + 1}};
  for (const auto& [drawOnce, times] : overflows) {
    Subject.ClearScreen();
    for (std::size_t i = 0; i < times; ++i) {
      drawOnce();
    }
    EXPECT_FALSE(Subject.PictureKept());
    const std::size_t texts = Surface.Texts.size();
    Subject.Refit(6000, 7000);
    EXPECT_EQ(Surface.Texts.size(), texts);
  }
  Subject.ClearScreen();
  EXPECT_TRUE(Subject.PictureKept());
  for (std::size_t i = 0; i < kMostPictureBytes / 2 / longText.size(); ++i) {
    run('@', {longText});
  }
  EXPECT_TRUE(Subject.PictureKept()) << "half the bytes";
}

// The font search over areas from 200 x 150 to 3840 x 2160 pixels, for narrow and wide
// layouts: the size chosen fits both sides, and the next quarter point does not (3 points
// when nothing fits).
TEST_F(ScreenTest, ARefitTakesTheLargestSizeThatFitsTheArea) {
  const struct {
    int Width, Height;
  } areas[] = {{200, 150}, {388, 472}, {640, 480}, {1024, 768}, {1500, 950}, {1920, 1080}, {3840, 2160}};
  for (const std::int16_t columns : {std::int16_t{10}, std::int16_t{40}, std::int16_t{107}}) {
    Subject.ScreenSetup(columns);
    const double setUp = Subject.FontPoints();
    const double rows = Subject.ScreenRows();
    for (const auto& area : areas) {
      const double width = area.Width * 15.0;
      const double height = area.Height * 15.0;
      Subject.Refit(width, height);
      const double points = Subject.FontPoints();
      // The fake's cells: 12 x 24 twips a point; 60 twips of borders across.
      const auto fits = [&](double p) { return rows * 24 * p <= height && columns * 12 * p + 60 <= width; };
      SCOPED_TRACE(std::to_string(columns) + " columns in " + std::to_string(area.Width) + " x " +
                   std::to_string(area.Height));
      EXPECT_TRUE(fits(points) || points == kSmallestFontPoints) << points;
      EXPECT_FALSE(fits(points + kFontStepPoints)) << points;
      EXPECT_DOUBLE_EQ(Surface.Width, columns * Subject.CellWidth() + 60);
    }
    Subject.GrowBy(0, 0);  // no room beyond the set-up: exactly the set-up's size
    EXPECT_DOUBLE_EQ(Subject.FontPoints(), setUp);
  }
}

}  // namespace
}  // namespace korvani::hmi::screen
