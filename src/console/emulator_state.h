// SPDX-License-Identifier: GPL-3.0-or-later
// The console emulator's state: libvterm's state layer and the grid kept beside it. Private
// to the console layer (screen_emulator.cpp uses it).
#pragma once

#include <vterm.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "console/input_filter.h"
#include "console/joining_marks.h"
#include "console/screen_emulator.h"

namespace korvani::console::detail {

// The look a cell is drawn with, as the board last set it.
struct Pen {
  VTermColor Fore{};
  VTermColor Back{};
  bool Bold = false;
  bool Italic = false;
  bool Reverse = false;
  bool Underline = false;
};

// One cell as kept: its character (0 for a blank) with one combining mark at most, its width
// and its pen.
struct StoredCell {
  char32_t Character = 0;
  char32_t Combining = 0;
  std::uint8_t Width = 1;
  Pen Look;
};
// A row holds its cells up to the last one written; the cells beyond are blanks in the
// default colours, so a blank line costs nothing and a line feed writes no cells.
using Row = std::vector<StoredCell>;

}  // namespace korvani::console::detail

namespace korvani::console {

// libvterm's state layer parses the bytes and keeps the cursor, the modes and the pen; the
// grid is kept here, as a deque of rows, so that a line feed at the bottom moves no cells
// (libvterm's own screen layer copies every cell of the screen for it, and drains a flood
// several times slower). The bytes reach libvterm through the input filter.
struct ScreenEmulator::Impl final : InputFilter::Sink {
  using Pen = detail::Pen;
  using StoredCell = detail::StoredCell;
  using Row = detail::Row;

  // Answers the board has not taken yet are kept up to this much; a board that asks faster
  // than the line carries the answers loses the newest.
  static constexpr std::size_t kMostReplies = std::size_t{64} << 10;

  Impl(int rows, int columns, std::size_t scrollbackLines);
  ~Impl() override;
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  // Repeats are bounded per feed by a few cells a byte fed, and a screenful: a slice of
  // "CSI 9999 b" would otherwise be millions of cells to emulate under the screen's lock.
  void Feed(std::string_view bytes) {
    RepeatBudget = 4 * static_cast<std::int64_t>(bytes.size()) + std::int64_t{RowCount} * ColumnCount;
    Filter.Filter(bytes, *this);
  }
  void Pass(std::string_view bytes) override;
  void Repeat(std::string_view glyph, int count) override;
  void CursorRestored() override;
  // The board's reset: libvterm leaves the alternate screen without saying so.
  void TerminalReset() override;
  // Where libvterm has the cursor: asked each time, as it moves it without telling (a
  // restore clamped to a shrunk screen).
  [[nodiscard]] VTermPos Cursor() const;
  // What libvterm writes while `typing` is set is a key's bytes; otherwise an answer to
  // the board.
  void Output(const char* bytes, std::size_t length);
  int Changed() {
    Dirty = true;
    return 1;
  }

  [[nodiscard]] Pen DefaultPen() const;
  // What an erased cell holds: no character, the pen's colours, no other attribute.
  [[nodiscard]] StoredCell Blank() const;
  // Whether erasing leaves cells that look as the default blank: no background was set (a
  // blank shows no character, so its foreground is never seen).
  [[nodiscard]] bool PlainErase() const { return VTERM_COLOR_IS_DEFAULT_BG(&Current.Back); }
  [[nodiscard]] Row BlankRow() const;
  // A cell to write, the row lengthened with blanks up to it.
  StoredCell& CellAt(int row, int column);
  [[nodiscard]] StoredCell CellOf(int row, int column) const;
  // The kept row shown at `row` (negative: the scrollback), or null.
  [[nodiscard]] const Row* RowAt(int row) const;

  int PutGlyph(const VTermGlyphInfo& info, VTermPos pos);
  int ScrollRect(VTermRect rect, int downward, int rightward);
  // Puts a line into the scrollback, blanks at its end left out; gives back a row the
  // scrollback let go of, for reuse (empty when none).
  Row Keep(Row row);
  int MoveRect(VTermRect dest, VTermRect src);
  int Erase(VTermRect rect);
  int SetPenAttr(VTermAttr attr, const VTermValue& value);
  int SetTermProp(VTermProp prop, const VTermValue& value);
  // A grid kept aside (the main screen under the alternate one) to the size now, or to
  // `rows` rows of the width now.
  void FitGrid(std::deque<Row>& grid, int rows = -1) const;
  int Resize(int rows, int columns, VTermPos& delta);

  [[nodiscard]] Rgb ToRgb(VTermColor colour) const;
  [[nodiscard]] Cell Drawn(const StoredCell& stored) const;

  VTerm* Term;
  VTermState* State;
  VTermStateCallbacks Callbacks{};
  JoiningMarks Marks;
  InputFilter Filter;
  int RowCount;
  int ColumnCount;
  std::deque<Row> Grid;       // the screen shown, RowCount rows of ColumnCount cells
  std::deque<Row> MainSaved;  // the main screen while the alternate one is shown
  bool AltScreen = false;
  std::deque<Row> Kept;  // the scrollback, oldest first
  // Rows under the cursor that a shrink took off the bottom, nearest first: a taller screen
  // shows them again, unless the screen scrolled or was erased to its end meanwhile.
  std::deque<Row> Below;
  static constexpr std::size_t kMostBelow = 1000;
  std::size_t MostKept;
  Pen Current;
  StoredCell PlainBlank;  // a blank in the default colours, as cells beyond a row's end are
  bool CursorShown = true;
  bool Dirty = true;
  bool Typing = false;
  std::int64_t RepeatBudget = 0;
  std::string Sent;     // what the keyboard functions produced
  std::string Replies;  // what the terminal answered the board (reports, attributes)
};

}  // namespace korvani::console
