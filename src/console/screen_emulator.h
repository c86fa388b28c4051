// SPDX-License-Identifier: GPL-3.0-or-later
// The console's character screen: a terminal emulator (libvterm) fed with the bytes the board
// sends. It keeps each cell's text and look, the cursor, and a scrollback of the lines that
// left the top; it answers the board's questions (where the cursor is, what terminal this
// is), and it gives the bytes a key is sent as, the way xterm sends them. Whatever a board
// sends, it neither crashes nor hangs (see input_filter.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace korvani::console {

struct Rgb {
  std::uint8_t Red = 0;
  std::uint8_t Green = 0;
  std::uint8_t Blue = 0;
  bool operator==(const Rgb&) const = default;
};

// One cell as it is drawn: its character (empty for a blank) and its look, with inverse
// already applied to the colours.
struct Cell {
  std::u32string Text;
  Rgb Fore;
  Rgb Back;
  bool Bold = false;
  bool Underline = false;
  bool Italic = false;
  int Width = 1;  // 2 for the first half of a wide character, 0 for its second half
};

enum class Key {
  Enter,
  Tab,
  Backspace,
  Escape,
  Up,
  Down,
  Left,
  Right,
  Insert,
  Delete,
  Home,
  End,
  PageUp,
  PageDown,
  F1,
  F2,
  F3,
  F4,
  F5,
  F6,
  F7,
  F8,
  F9,
  F10,
  F11,
  F12
};

struct Modifiers {
  bool Shift = false;
  bool Alt = false;
  bool Ctrl = false;
};

// What Enter and Backspace send; saved with the terminal's settings.
enum class EnterSends { Cr, Lf, CrLf };
enum class BackspaceSends { Del, Bs };

struct Cursor {
  int Row = 0;
  int Column = 0;
  bool Visible = true;
};

class ScreenEmulator {
 public:
  static constexpr std::size_t kScrollbackLines = 10000;
  static constexpr Rgb kDefaultFore{229, 229, 229};
  static constexpr Rgb kDefaultBack{0, 0, 0};
  static constexpr int kAllColumns = 1 << 30;
  // A double-width line has half the columns: libvterm puts the cursor at column -1 of a
  // line with none.
  static constexpr int kFewestColumns = 2;

  ScreenEmulator(int rows, int columns, std::size_t scrollbackLines = kScrollbackLines);
  ~ScreenEmulator();
  ScreenEmulator(const ScreenEmulator&) = delete;
  ScreenEmulator& operator=(const ScreenEmulator&) = delete;

  // Bytes from the line, as they came (UTF-8, control codes, escape sequences).
  void Feed(std::string_view bytes);
  // The grid follows the view's size; lines that no longer fit go to the scrollback.
  void Resize(int rows, int columns);
  [[nodiscard]] int Rows() const;
  [[nodiscard]] int Columns() const;

  // Row 0 to Rows()-1 is the screen; -1 is the newest line of the scrollback, down to
  // -ScrollbackCount(). A cell beyond a line's end is a blank.
  [[nodiscard]] Cell At(int row, int column) const;
  [[nodiscard]] std::size_t ScrollbackCount() const;
  // A row's text in UTF-8 from one column up to (not including) another, blanks at its
  // end left out: what copying it gives.
  [[nodiscard]] std::string TextOf(int row, int fromColumn = 0, int toColumn = kAllColumns) const;
  // What the terminal answered the board since the last call (a cursor position report, its
  // attributes): bytes for the line, as libvterm produced them.
  [[nodiscard]] std::string TakeReplies();
  [[nodiscard]] Cursor CursorAt() const;
  // Whether anything shown changed since the last call.
  bool TakeChanged();
  // Forgets the screen and the scrollback, as a terminal's reset does.
  void Clear();

  // The bytes a key or a typed character is sent as. Ctrl with a letter or one of @ [ \ ] ^ _
  // ? (or the digits 2 to 8 standing for them) sends the control code xterm sends; Alt sends
  // ESC before the character's UTF-8.
  [[nodiscard]] std::string KeyBytes(Key key, Modifiers modifiers);
  [[nodiscard]] std::string CharBytes(char32_t character, Modifiers modifiers);
  void SetEnterSends(EnterSends sends) { Enter = sends; }
  void SetBackspaceSends(BackspaceSends sends) { Backspace = sends; }

  struct Impl;

 private:
  std::unique_ptr<Impl> State;
  EnterSends Enter = EnterSends::Cr;
  BackspaceSends Backspace = BackspaceSends::Del;
};

}  // namespace korvani::console
