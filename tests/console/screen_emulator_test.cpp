// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/screen_emulator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvani::console {
namespace {

std::u32string TextAt(const ScreenEmulator& screen, int row, int column) {
  return screen.At(row, column).Text;
}

// What a board's escape sequences do to the screen: each case feeds bytes to a fresh 24 x 80
// screen and reads one cell.
struct EmulationCase {
  const char* Name;
  std::string Fed;
  int Row;
  int Column;
  std::u32string Text;
  Rgb Fore = ScreenEmulator::kDefaultFore;
  Rgb Back = ScreenEmulator::kDefaultBack;
  bool Bold = false;
  bool Underline = false;
};

class EmulationTest : public ::testing::TestWithParam<EmulationCase> {};

TEST_P(EmulationTest, TheCellShowsWhatTheSequencesPutThere) {
  const EmulationCase& c = GetParam();
  ScreenEmulator screen(24, 80);
  screen.Feed(c.Fed);
  const Cell cell = screen.At(c.Row, c.Column);
  EXPECT_EQ(cell.Text, c.Text);
  EXPECT_EQ(cell.Fore, c.Fore);
  EXPECT_EQ(cell.Back, c.Back);
  EXPECT_EQ(cell.Bold, c.Bold);
  EXPECT_EQ(cell.Underline, c.Underline);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, EmulationTest,
    ::testing::Values(EmulationCase{"plain", "ok", 0, 1, U"k"},
                      EmulationCase{"utf8", "\xC3\xA9t\xC3\xA9", 0, 2, U"\u00E9"},
                      EmulationCase{"colour16", "\x1b[31mred\x1b[0m", 0, 0, U"r", Rgb{224, 0, 0}},
                      EmulationCase{"colour16ResetAfter", "\x1b[31mred\x1b[0mx", 0, 3, U"x"},
                      EmulationCase{"colour256", "\x1b[48;5;196mZ\x1b[0m", 0, 0, U"Z",
                                    ScreenEmulator::kDefaultFore, Rgb{255, 0, 0}},
                      EmulationCase{"colour24bit", "\x1b[38;2;10;20;30mX", 0, 0, U"X", Rgb{10, 20, 30}},
                      EmulationCase{"bold", "\x1b[1mB", 0, 0, U"B", ScreenEmulator::kDefaultFore,
                                    ScreenEmulator::kDefaultBack, true},
                      EmulationCase{"underline", "\x1b[4mU", 0, 0, U"U", ScreenEmulator::kDefaultFore,
                                    ScreenEmulator::kDefaultBack, false, true},
                      EmulationCase{"inverse", "\x1b[7mI", 0, 0, U"I", ScreenEmulator::kDefaultBack,
                                    ScreenEmulator::kDefaultFore},
                      EmulationCase{"cursorAddressing", "\x1b[10;30HX", 9, 29, U"X"},
                      EmulationCase{"eraseLine", "abc\x1b[2K", 0, 1, U""},
                      EmulationCase{"eraseScreen", "abc\r\ndef\x1b[2J", 1, 1, U""},
                      EmulationCase{"backspaceOverwrites", "ab\bX", 0, 1, U"X"},
                      EmulationCase{"lineWrap", std::string(80, '-') + "wrap", 1, 3, U"p"},
                      EmulationCase{"carriageReturn", "abc\rX", 0, 0, U"X"},
                      // Inside a scroll region (rows 2 to 3) a line feed at its bottom scrolls only the
                      // region: row 1 keeps its text, the region's first line leaves it.
                      EmulationCase{"scrollRegion", "top\x1b[2;3r\x1b[2;1Hone\r\ntwo\r\nthree", 0, 0, U"t"},
                      EmulationCase{"scrollRegionMoves", "top\x1b[2;3r\x1b[2;1Hone\r\ntwo\r\nthree", 1, 0,
                                    U"t"},
                      // Erasing and scrolling fill with the background set, as xterm does.
                      EmulationCase{"eraseKeepsTheBackground", "abc\x1b[44m\x1b[2K", 0, 10, U"",
                                    ScreenEmulator::kDefaultFore, Rgb{0, 0, 224}},
                      EmulationCase{"scrollFillsWithTheBackground", "\x1b[24;1H\x1b[44m\r\n", 23, 5, U"",
                                    ScreenEmulator::kDefaultFore, Rgb{0, 0, 224}},
                      EmulationCase{"scrollLeavesDefaultBlanks", "\x1b[24;1Hlast\r\n", 23, 0, U""},
                      EmulationCase{"insertCharacters", "abcdef\x1b[1;2H\x1b[2@", 0, 3, U"b"},
                      EmulationCase{"deleteCharacters", "abcdef\x1b[1;2H\x1b[2P", 0, 1, U"d"},
                      // The alternate screen: what a full-screen program draws goes when it leaves.
                      EmulationCase{"alternateScreen", "main\x1b[?1049h\x1b[Halt\x1b[?1049l", 0, 0, U"m"}),
    [](const ::testing::TestParamInfo<EmulationCase>& param) { return std::string(param.param.Name); });

TEST(ScreenEmulatorTest, LinesLeavingTheTopAreKeptInTheScrollbackUpToItsLimit) {
  ScreenEmulator screen(5, 20, 100);
  for (int i = 0; i < 300; ++i) {
    screen.Feed("line " + std::to_string(i) + "\r\n");
  }
  EXPECT_EQ(screen.ScrollbackCount(), 100U);
  EXPECT_EQ(screen.TextOf(-1), "line 295");  // the newest kept: rows 0 to 3 hold 296 to 299
  EXPECT_EQ(screen.TextOf(-100), "line 196");
  EXPECT_EQ(screen.TextOf(0), "line 296");
  EXPECT_EQ(screen.TextOf(4), "");

  screen.Feed("\x1b[32mgreen");
  EXPECT_EQ(TextAt(screen, 4, 0), U"g");
  screen.Resize(8, 20);  // a taller grid takes the newest kept lines back
  EXPECT_EQ(screen.Rows(), 8);
  EXPECT_EQ(screen.ScrollbackCount(), 97U);
  EXPECT_EQ(screen.TextOf(0), "line 293");
  screen.Clear();
  EXPECT_EQ(screen.ScrollbackCount(), 0U);
  EXPECT_EQ(screen.TextOf(0), "");
}

TEST(ScreenEmulatorTest, TheCursorFollowsAndCanBeHidden) {
  ScreenEmulator screen(24, 80);
  screen.Feed("\x1b[5;7H");
  EXPECT_EQ(screen.CursorAt().Row, 4);
  EXPECT_EQ(screen.CursorAt().Column, 6);
  EXPECT_TRUE(screen.CursorAt().Visible);
  screen.Feed("\x1b[?25l");
  EXPECT_FALSE(screen.CursorAt().Visible);
  EXPECT_TRUE(screen.TakeChanged());
  EXPECT_FALSE(screen.TakeChanged());
}

// Keys as xterm sends them, and the choices for Enter and Backspace.
struct KeyCase {
  Key Pressed;
  Modifiers With;
  std::string Sent;
};

TEST(ScreenEmulatorTest, KeysAreSentAsXtermSendsThem) {
  const std::vector<KeyCase> cases = {{Key::Enter, {}, "\r"},
                                      {Key::Backspace, {}, "\x7f"},
                                      {Key::Tab, {}, "\t"},
                                      {Key::Escape, {}, "\x1b"},
                                      {Key::Up, {}, "\x1b[A"},
                                      {Key::Down, {}, "\x1b[B"},
                                      {Key::Right, {}, "\x1b[C"},
                                      {Key::Left, {}, "\x1b[D"},
                                      {Key::Home, {}, "\x1b[H"},
                                      {Key::End, {}, "\x1b[F"},
                                      {Key::Insert, {}, "\x1b[2~"},
                                      {Key::Delete, {}, "\x1b[3~"},
                                      {Key::PageUp, {}, "\x1b[5~"},
                                      {Key::PageDown, {}, "\x1b[6~"},
                                      {Key::F1, {}, "\x1bOP"},
                                      {Key::F4, {}, "\x1bOS"},
                                      {Key::F5, {}, "\x1b[15~"},
                                      {Key::F12, {}, "\x1b[24~"},
                                      {Key::Up, {false, false, true}, "\x1b[1;5A"}};
  ScreenEmulator screen(24, 80);
  for (const KeyCase& c : cases) {
    EXPECT_EQ(screen.KeyBytes(c.Pressed, c.With), c.Sent) << static_cast<int>(c.Pressed);
  }
  EXPECT_EQ(screen.CharBytes(U'a', {}), "a");
  EXPECT_EQ(screen.CharBytes(U'\u00E9', {}), "\xC3\xA9");
  EXPECT_EQ(screen.CharBytes(U'c', {false, false, true}), "\x03");
  EXPECT_EQ(screen.CharBytes(U'x', {false, true, false}), "\x1bx");

  screen.SetEnterSends(EnterSends::Lf);
  EXPECT_EQ(screen.KeyBytes(Key::Enter, {}), "\n");
  screen.SetEnterSends(EnterSends::CrLf);
  EXPECT_EQ(screen.KeyBytes(Key::Enter, {}), "\r\n");
  screen.SetBackspaceSends(BackspaceSends::Bs);
  EXPECT_EQ(screen.KeyBytes(Key::Backspace, {}), "\b");
}

}  // namespace
}  // namespace korvani::console
