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

// A shrink with the cursor high keeps the cursor's row: the lines above it go to the
// scrollback, those under it are held, and a taller screen shows them all again where they
// were, unless the screen scrolled meanwhile.
TEST(ScreenEmulatorTest, AShrinkWithTheCursorHighLosesNoLine) {
  ScreenEmulator screen(10, 20);
  for (int i = 0; i < 10; ++i) {
    screen.Feed("\r\nline " + std::to_string(i));
  }
  screen.Feed("\x1b[3;1H");
  screen.Resize(4, 20);
  EXPECT_EQ(screen.CursorAt().Row, 0);
  EXPECT_EQ(screen.TextOf(-1), "line 1");
  EXPECT_EQ(screen.TextOf(0), "line 2");
  EXPECT_EQ(screen.TextOf(3), "line 5");
  screen.Resize(10, 20);
  EXPECT_EQ(screen.CursorAt().Row, 2);
  EXPECT_EQ(screen.TextOf(2), "line 2");
  EXPECT_EQ(screen.TextOf(9), "line 9");

  screen.Resize(4, 20);
  screen.Feed("\x1b[4;1H\nnew");  // a scroll: what was held under would have moved
  screen.Resize(10, 20);
  EXPECT_EQ(screen.TextOf(9), "");
}

// A board's reset while a full-screen program is open leaves the alternate screen: lines go
// to the scrollback again. Repeats cost a few cells a byte fed, not millions.
TEST(ScreenEmulatorTest, AResetLeavesTheAlternateScreenAndRepeatsAreBounded) {
  ScreenEmulator screen(5, 20);
  screen.Feed(
      "main\r\n\x1b[?1049h\x1b"
      "c");
  for (int i = 0; i < 10; ++i) {
    screen.Feed("line\r\n");
  }
  EXPECT_GT(screen.ScrollbackCount(), 0U);

  ScreenEmulator repeated(24, 80);
  std::string flood = "A";
  for (int i = 0; i < 100; ++i) {
    flood += "\x1b[9999b";
  }
  repeated.Feed(flood);
  EXPECT_GT(repeated.ScrollbackCount(), 10U);
  EXPECT_LT(repeated.ScrollbackCount(), 100U);
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
                                      {Key::Up, {false, false, true}, "\x1b[1;5A"},
                                      {Key::Tab, {false, false, true}, "\t"},
                                      {Key::Tab, {true, false, false}, "\x1b[Z"},
                                      {Key::Escape, {true, false, true}, "\x1b"},
                                      {Key::Backspace, {false, true, true}, "\x1b\x7f"},
                                      {Key::Enter, {true, true, false}, "\x1b\r"}};
  ScreenEmulator screen(24, 80);
  for (const KeyCase& c : cases) {
    EXPECT_EQ(screen.KeyBytes(c.Pressed, c.With), c.Sent) << static_cast<int>(c.Pressed);
  }
  const Modifiers ctrl{false, false, true};
  const std::vector<std::pair<char32_t, std::string>> typed = {
      {U'c', "\x03"},  {U'm', "\r"},   {U'j', "\n"},   {U'i', "\t"},   {U'[', "\x1b"},
      {U'\\', "\x1c"}, {U']', "\x1d"}, {U' ', {'\0'}}, {U'2', {'\0'}}, {U'_', "\x1f"},
      {U'`', {'\0'}},  {U'{', "\x1b"}, {U'|', "\x1c"}};
  for (const auto& [character, sent] : typed) {
    EXPECT_EQ(screen.CharBytes(character, ctrl), sent) << "Ctrl+" << static_cast<char>(character);
  }
  EXPECT_EQ(screen.CharBytes(U'a', {}), "a");
  EXPECT_EQ(screen.CharBytes(U'\u00E9', {}), "\xC3\xA9");
  EXPECT_EQ(screen.CharBytes(U'x', {false, true, false}), "\x1bx");
  EXPECT_EQ(screen.CharBytes(U'\u00E9', {false, true, false}), "\x1b\xC3\xA9");

  screen.SetEnterSends(EnterSends::Lf);
  EXPECT_EQ(screen.KeyBytes(Key::Enter, {}), "\n");
  screen.SetEnterSends(EnterSends::CrLf);
  EXPECT_EQ(screen.KeyBytes(Key::Enter, {}), "\r\n");
  screen.SetBackspaceSends(BackspaceSends::Bs);
  EXPECT_EQ(screen.KeyBytes(Key::Backspace, {}), "\b");
}

// What boards have sent that once broke the console: each is fed (with the resizes named) and
// the screen must still take text where the cursor is. A crash shows under the sanitizers, a
// hang as the test's time-out.
struct HostileCase {
  const char* Name;
  int Rows;
  std::vector<std::string> Fed;  // "" between pieces: a resize to the next size
  std::vector<std::pair<int, int>> Sizes;
};

class HostileInputTest : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileInputTest, TheScreenStaysSound) {
  const HostileCase& c = GetParam();
  ScreenEmulator screen(c.Rows, 80);
  std::size_t nextSize = 0;
  for (const std::string& piece : c.Fed) {
    if (piece.empty()) {
      screen.Resize(c.Sizes[nextSize].first, c.Sizes[nextSize].second);
      ++nextSize;
    } else {
      screen.Feed(piece);
    }
  }
  const auto expectCursorOnTheScreen = [&screen] {
    const Cursor cursor = screen.CursorAt();
    ASSERT_GE(cursor.Row, 0);
    ASSERT_LT(cursor.Row, screen.Rows());
    ASSERT_GE(cursor.Column, 0);
    ASSERT_LT(cursor.Column, screen.Columns());
  };
  expectCursorOnTheScreen();
  screen.Resize(10, 30);
  expectCursorOnTheScreen();
  screen.Feed("\r\x1b[Kalive");
  EXPECT_EQ(screen.TextOf(screen.CursorAt().Row), "alive");
  screen.Resize(50, 120);
  expectCursorOnTheScreen();
}

std::string Times(int count, const std::string& piece) {
  std::string all;
  for (int i = 0; i < count; ++i) {
    all += piece;
  }
  return all;
}

INSTANTIATE_TEST_SUITE_P(
    Boards, HostileInputTest,
    ::testing::Values(
        // C1 controls as UTF-8 once moved the cursor left past column 0 and set a tab stop there.
        HostileCase{"c1AsText", 24, {"hello\r\n\r" + Times(63, "\xC2\x85") + "\x1bH\r\n", ""}, {{20, 60}}},
        // A shrink with the cursor high once moved it above the screen.
        HostileCase{"shrinkWithTheCursorHigh",
                    40,
                    {Times(40, "line\r\n") + "\x1b[2;1H", "", Times(14, "\x1b#3\n"), ""},
                    {{20, 80}, {30, 80}}},
        HostileCase{"shrinkInTheAlternateScreen",
                    40,
                    {"\x1b[?1049h" + Times(40, "alt\r\n") + "\x1b[1;1H", "", "\x1b#6x"},
                    {{5, 80}}},
        // The repeat command after a glyph of no width once looped for ever.
        HostileCase{"scrollRegionBelowAShrunkScreen",
                    24,
                    {"\x1b[10;20r\x1b[15;1H", "", "\x0c\n\x1bM\x1b[2L"},
                    {{3, 4}}},
        HostileCase{"savedCursorBelowAShrunkScreen",
                    24,
                    {"\n\n\x1b"
                     "7",
                     "",
                     "\x1b"
                     "8x"},
                    {{1, 80}}},
        HostileCase{"alternateScreenLeftOnAShrunkScreen",
                    24,
                    {"\x1b[20;70H\x1b[?1049h", "", "\x1b[?1049lx"},
                    {{5, 20}}},
        HostileCase{"doubleWidthOnOneColumn", 24, {"", "\x1b#3\x1b#6x\n"}, {{1, 1}}},
        HostileCase{"repeatBeforeAnyText", 24, {"\x1b[5b"}, {}},
        HostileCase{"repeatAfterZeroWidthSpace", 24, {"\xE2\x80\x8B\x1b[5b"}, {}},
        HostileCase{"repeatAfterALoneMark", 24, {"\r\xCC\x81\x1b[3b"}, {}},
        HostileCase{"repeatAfterAC1", 24, {"\xC2\x85\x1b[3b"}, {}},
        HostileCase{"repeatSplitAcrossChunks", 24, {"\xCC\x81\x1b[", "9", "b"}, {}},
        HostileCase{"repeatAfterADesignation", 24, {"\x1b)[b"}, {}},
        HostileCase{"hugeRepeat", 24, {"x\x1b[99999999b"}, {}},
        HostileCase{"marksAcrossChunks", 24, {"e", Times(2000, "\xCC\x81")}, {}},
        HostileCase{"markAfterTheLastColumn", 24, {std::string(80, 'w'), "\xCC\x81", "\xCC\x81\x1b[2b"}, {}},
        HostileCase{"brokenUtf8",
                    24,
                    {"\xC3",
                     "(\xE2\x82\xF0\x9F\x98\xED\xA0\x80\xFF\x9B"
                     "5b"},
                    {}}),
    [](const ::testing::TestParamInfo<HostileCase>& param) { return std::string(param.param.Name); });

TEST(ScreenEmulatorTest, BrokenTextIsShownNotLost) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"AB\xC2\x85"
       "CD",
       "AB\uFFFD"
       "CD"},                                           // a C1 control written as text
      {"A\xC3(B", "A\uFFFD(B"},                         // a character broken off
      {"a\x1b[3b", "aaaa"},                             // the repeat command
      {"e\xCC\x81\x1b[2b|", "e\u0301e\u0301e\u0301|"},  // repeats the character with its mark
      {"\x1b[5bok", "ok"},                              // nothing to repeat yet
      // Restoring the cursor restores the character sets saved with it.
      {"\x1b(0\x1b"
       "7\x1b(Babc\x1b"
       "8q",
       "\u2500"
       "bc"},
      {"\x1b)0\x0e\x1b"
       "7\x0fxy\x1b"
       "8q",
       "\u2500y"},
  };
  for (const auto& [fed, shown] : cases) {
    ScreenEmulator screen(24, 80);
    screen.Feed(fed);
    EXPECT_EQ(screen.TextOf(0), shown) << fed;
  }
}

TEST(ScreenEmulatorTest, QuestionsAreAnsweredAndOnlyOnce) {
  ScreenEmulator screen(24, 80);
  screen.Feed("\x1b[3;5H\x1b[6n");
  EXPECT_EQ(screen.TakeReplies(), "\x1b[3;5R");
  EXPECT_EQ(screen.TakeReplies(), "");
  screen.Feed("\x1b[5n");
  EXPECT_EQ(screen.TakeReplies(), "\x1b[0n");
  screen.Feed("\x1b[c");
  EXPECT_EQ(screen.TakeReplies().substr(0, 3), "\x1b[?");
  screen.Feed("\x1b[6n");
  EXPECT_EQ(screen.KeyBytes(Key::Up, {}), "\x1b[A");  // a key's bytes and an answer stay apart
  EXPECT_EQ(screen.TakeReplies(), "\x1b[3;5R");
}

TEST(ScreenEmulatorTest, PartOfARowIsCopiedByItsCells) {
  ScreenEmulator screen(24, 80);
  screen.Feed(
      "\xE6\x97\xA5\xE6\x9C\xAC"
      "xe\xCC\x81z   ");  // two wide characters, a mark
  EXPECT_EQ(screen.TextOf(0, 2, 5),
            "\xE6\x9C\xAC"
            "x");
  EXPECT_EQ(screen.TextOf(0, 5, 7), "e\xCC\x81z");
  EXPECT_EQ(screen.TextOf(0, 5), "e\xCC\x81z");
}

}  // namespace
}  // namespace korvani::console
