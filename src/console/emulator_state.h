// SPDX-License-Identifier: GPL-3.0-or-later
// The console emulator's state: libvterm's state layer and the grid kept beside it. Private
// to the console layer (screen_emulator.cpp uses it).
#pragma once

#include <vterm.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <string>
#include <utility>
#include <vector>

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
// several times slower).
struct ScreenEmulator::Impl {
  using Pen = detail::Pen;
  using StoredCell = detail::StoredCell;
  using Row = detail::Row;

  Impl(int rows, int columns, std::size_t scrollbackLines)
      : Term(vterm_new(rows, columns)),
        State(vterm_obtain_state(Term)),
        RowCount(rows),
        ColumnCount(columns),
        MostKept(scrollbackLines) {
    vterm_set_utf8(Term, 1);
    vterm_output_set_callback(Term, &Impl::Output, this);
    Callbacks.putglyph = [](VTermGlyphInfo* info, VTermPos pos, void* user) {
      return static_cast<Impl*>(user)->PutGlyph(*info, pos);
    };
    Callbacks.movecursor = [](VTermPos pos, VTermPos, int visible, void* user) {
      auto* self = static_cast<Impl*>(user);
      self->CursorPos = pos;
      self->CursorShown = visible != 0;
      return self->Changed();
    };
    Callbacks.scrollrect = [](VTermRect rect, int downward, int rightward, void* user) {
      return static_cast<Impl*>(user)->ScrollRect(rect, downward, rightward);
    };
    Callbacks.moverect = [](VTermRect dest, VTermRect src, void* user) {
      return static_cast<Impl*>(user)->MoveRect(dest, src);
    };
    Callbacks.erase = [](VTermRect rect, int, void* user) { return static_cast<Impl*>(user)->Erase(rect); };
    Callbacks.initpen = [](void* user) {
      auto* self = static_cast<Impl*>(user);
      self->Current = self->DefaultPen();
      return 1;
    };
    Callbacks.setpenattr = [](VTermAttr attr, VTermValue* value, void* user) {
      return static_cast<Impl*>(user)->SetPenAttr(attr, *value);
    };
    Callbacks.settermprop = [](VTermProp prop, VTermValue* value, void* user) {
      return static_cast<Impl*>(user)->SetTermProp(prop, *value);
    };
    Callbacks.bell = [](void*) { return 1; };
    Callbacks.resize = [](int newRows, int newColumns, VTermPos* delta, void* user) {
      return static_cast<Impl*>(user)->Resize(newRows, newColumns, *delta);
    };
    Callbacks.setlineinfo = [](int, const VTermLineInfo*, const VTermLineInfo*, void*) { return 1; };
    VTermColor fore;
    VTermColor back;
    vterm_color_rgb(&fore, kDefaultFore.Red, kDefaultFore.Green, kDefaultFore.Blue);
    vterm_color_rgb(&back, kDefaultBack.Red, kDefaultBack.Green, kDefaultBack.Blue);
    vterm_state_set_default_colors(State, &fore, &back);
    vterm_state_set_callbacks(State, &Callbacks, this);
    Current = DefaultPen();
    PlainBlank.Look = Current;
    Grid.assign(static_cast<std::size_t>(RowCount), BlankRow());
    vterm_state_reset(State, 1);
  }
  ~Impl() { vterm_free(Term); }
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  static void Output(const char* bytes, std::size_t length, void* user) {
    static_cast<Impl*>(user)->Sent.append(bytes, length);
  }
  int Changed() {
    Dirty = true;
    return 1;
  }

  [[nodiscard]] Pen DefaultPen() const {
    Pen pen;
    vterm_state_get_default_colors(State, &pen.Fore, &pen.Back);
    return pen;
  }
  // What an erased cell holds: no character, the pen's colours, no other attribute.
  [[nodiscard]] StoredCell Blank() const {
    StoredCell cell;
    cell.Look.Fore = Current.Fore;
    cell.Look.Back = Current.Back;
    return cell;
  }
  // Whether erasing leaves cells that look as the default blank: no background was set (a
  // blank shows no character, so its foreground is never seen).
  [[nodiscard]] bool PlainErase() const { return VTERM_COLOR_IS_DEFAULT_BG(&Current.Back); }
  [[nodiscard]] Row BlankRow() const {
    return PlainErase() ? Row() : Row(static_cast<std::size_t>(ColumnCount), Blank());
  }
  // A cell to write, the row lengthened with blanks up to it.
  StoredCell& CellAt(int row, int column) {
    Row& line = Grid[static_cast<std::size_t>(row)];
    if (line.size() == static_cast<std::size_t>(column)) {
      return line.emplace_back(PlainBlank);  // the row grows by the cell written, as text does
    }
    if (line.size() < static_cast<std::size_t>(column)) {
      line.resize(static_cast<std::size_t>(column) + 1, PlainBlank);
    }
    return line[static_cast<std::size_t>(column)];
  }
  [[nodiscard]] StoredCell CellOf(int row, int column) const {
    const Row& line = Grid[static_cast<std::size_t>(row)];
    return static_cast<std::size_t>(column) < line.size() ? line[static_cast<std::size_t>(column)]
                                                          : PlainBlank;
  }

  int PutGlyph(const VTermGlyphInfo& info, VTermPos pos) {
    if (pos.row < 0 || pos.row >= RowCount || pos.col < 0 || pos.col >= ColumnCount) {
      return 1;
    }
    StoredCell& cell = CellAt(pos.row, pos.col);
    cell.Character = info.chars[0];
    cell.Combining = info.chars[0] != 0 ? info.chars[1] : 0;
    cell.Width = static_cast<std::uint8_t>(info.width);
    cell.Look = Current;
    if (info.width == 2 && pos.col + 1 < ColumnCount) {
      StoredCell& second = CellAt(pos.row, pos.col + 1);
      second = StoredCell{};
      second.Width = 0;
      second.Look = Current;
    }
    return Changed();
  }

  // A scroll of whole rows moves rows, not cells; anything else is left to libvterm, which
  // then moves and erases by MoveRect and Erase.
  int ScrollRect(VTermRect rect, int downward, int rightward) {
    if (rightward != 0 || rect.start_col != 0 || rect.end_col != ColumnCount) {
      return 0;
    }
    const int height = rect.end_row - rect.start_row;
    const auto first = Grid.begin() + rect.start_row;
    const auto end = Grid.begin() + rect.end_row;
    if (std::abs(downward) >= height) {
      std::fill(first, end, BlankRow());
      return Changed();
    }
    if (downward > 0) {
      const bool keep = rect.start_row == 0 && !AltScreen;
      if (rect.start_row == 0 && rect.end_row == RowCount) {
        // The common case, a line feed at the bottom: the top row leaves for the scrollback
        // and a row the scrollback lets go of (or the one leaving) comes back blank.
        for (int i = 0; i < downward; ++i) {
          Row leaving = std::move(Grid.front());
          Grid.pop_front();
          Row fresh = keep ? Keep(std::move(leaving)) : std::move(leaving);
          if (PlainErase()) {
            fresh.clear();  // its memory is kept for the next line
          } else {
            fresh.assign(static_cast<std::size_t>(ColumnCount), Blank());
          }
          Grid.push_back(std::move(fresh));
        }
      } else {
        for (int i = 0; keep && i < downward; ++i) {
          Keep(Grid[static_cast<std::size_t>(i)]);
        }
        std::rotate(first, first + downward, end);
        std::fill(end - downward, end, BlankRow());
      }
    } else {
      const int up = -downward;
      std::rotate(first, end - up, end);
      std::fill(first, first + up, BlankRow());
    }
    return Changed();
  }

  // Puts a line into the scrollback, blanks at its end left out; gives back a row the
  // scrollback let go of, for reuse (empty when none).
  Row Keep(Row row) {
    std::size_t used = row.size();
    while (used > 0 && row[used - 1].Character == 0 && VTERM_COLOR_IS_DEFAULT_BG(&row[used - 1].Look.Back)) {
      --used;  // blanks at the end take no room
    }
    row.resize(used);
    Kept.push_back(std::move(row));
    Row released;
    if (Kept.size() > MostKept) {
      released = std::move(Kept.front());
      Kept.pop_front();
    }
    return released;
  }

  int MoveRect(VTermRect dest, VTermRect src) {
    std::vector<StoredCell> moved;
    for (int row = src.start_row; row < src.end_row; ++row) {
      for (int column = src.start_col; column < src.end_col; ++column) {
        moved.push_back(CellOf(row, column));
      }
    }
    std::size_t at = 0;
    for (int row = dest.start_row; row < dest.end_row; ++row) {
      for (int column = dest.start_col; column < dest.end_col; ++column) {
        CellAt(row, column) = moved[at++];
      }
    }
    return Changed();
  }

  int Erase(VTermRect rect) {
    const StoredCell blank = Blank();
    const bool plain = PlainErase();
    const int firstColumn = std::max(0, rect.start_col);
    for (int row = std::max(0, rect.start_row); row < std::min(RowCount, rect.end_row); ++row) {
      Row& line = Grid[static_cast<std::size_t>(row)];
      int lastColumn = std::min(ColumnCount, rect.end_col);
      if (plain && static_cast<std::size_t>(lastColumn) >= line.size()) {
        // Erased to the row's end in the default colours: the row ends where the erase began.
        line.resize(std::min(line.size(), static_cast<std::size_t>(firstColumn)));
        continue;
      }
      if (plain) {
        lastColumn = std::min(lastColumn, static_cast<int>(line.size()));
      }
      for (int column = firstColumn; column < lastColumn; ++column) {
        CellAt(row, column) = blank;
      }
    }
    return Changed();
  }

  int SetPenAttr(VTermAttr attr, const VTermValue& value) {
    switch (attr) {
      case VTERM_ATTR_BOLD:
        Current.Bold = value.boolean != 0;
        break;
      case VTERM_ATTR_UNDERLINE:
        Current.Underline = value.number != 0;
        break;
      case VTERM_ATTR_ITALIC:
        Current.Italic = value.boolean != 0;
        break;
      case VTERM_ATTR_REVERSE:
        Current.Reverse = value.boolean != 0;
        break;
      case VTERM_ATTR_FOREGROUND:
        Current.Fore = value.color;
        break;
      case VTERM_ATTR_BACKGROUND:
        Current.Back = value.color;
        break;
      default:
        break;  // blink, strike and fonts are not drawn
    }
    return 1;
  }

  int SetTermProp(VTermProp prop, const VTermValue& value) {
    if (prop == VTERM_PROP_CURSORVISIBLE) {
      CursorShown = value.boolean != 0;
    } else if (prop == VTERM_PROP_ALTSCREEN) {
      const bool on = value.boolean != 0;
      if (on && !AltScreen) {
        MainSaved = std::move(Grid);
        Grid.assign(static_cast<std::size_t>(RowCount), BlankRow());
      } else if (!on && AltScreen) {
        Grid = std::move(MainSaved);
        FitGrid(Grid);
      }
      AltScreen = on;
    }
    return Changed();
  }

  // A grid kept aside (the main screen under the alternate one) to the size now.
  void FitGrid(std::deque<Row>& grid) const {
    grid.resize(static_cast<std::size_t>(RowCount));
    for (Row& row : grid) {
      if (row.size() > static_cast<std::size_t>(ColumnCount)) {
        row.resize(static_cast<std::size_t>(ColumnCount));
      }
    }
  }

  int Resize(int rows, int columns, VTermPos& delta) {
    ColumnCount = columns;
    if (rows > RowCount && !AltScreen) {
      // A taller screen takes the newest kept lines back above what it shows.
      const int back = std::min(rows - RowCount, static_cast<int>(Kept.size()));
      for (int i = 0; i < back; ++i) {
        Grid.emplace_front(std::move(Kept.back()));
        Kept.pop_back();
      }
      delta.row += back;
    }
    if (rows < static_cast<int>(Grid.size())) {
      // Blank rows under the cursor go first; then lines leave at the top.
      while (static_cast<int>(Grid.size()) > rows &&
             static_cast<int>(Grid.size()) - 1 > CursorPos.row + delta.row &&
             std::all_of(Grid.back().begin(), Grid.back().end(),
                         [](const StoredCell& c) { return c.Character == 0; })) {
        Grid.pop_back();
      }
      while (static_cast<int>(Grid.size()) > rows) {
        if (!AltScreen) {
          Keep(Grid.front());
        }
        Grid.pop_front();
        delta.row -= 1;
      }
    }
    RowCount = rows;
    FitGrid(Grid);
    if (AltScreen) {
      FitGrid(MainSaved);
    }
    return Changed();
  }

  [[nodiscard]] Rgb ToRgb(VTermColor colour) const {
    vterm_state_convert_color_to_rgb(State, &colour);
    return {colour.rgb.red, colour.rgb.green, colour.rgb.blue};
  }
  [[nodiscard]] Cell Drawn(const StoredCell& stored) const {
    Cell cell;
    cell.Fore = ToRgb(stored.Look.Fore);
    cell.Back = ToRgb(stored.Look.Back);
    if (stored.Look.Reverse) {
      std::swap(cell.Fore, cell.Back);
    }
    cell.Bold = stored.Look.Bold;
    cell.Underline = stored.Look.Underline;
    cell.Italic = stored.Look.Italic;
    cell.Width = stored.Width;
    if (stored.Character != 0) {
      cell.Text.assign(1, stored.Character);
      if (stored.Combining != 0) {
        cell.Text += stored.Combining;
      }
    }
    return cell;
  }

  VTerm* Term;
  VTermState* State;
  VTermStateCallbacks Callbacks{};
  int RowCount;
  int ColumnCount;
  std::deque<Row> Grid;       // the screen shown, RowCount rows of ColumnCount cells
  std::deque<Row> MainSaved;  // the main screen while the alternate one is shown
  bool AltScreen = false;
  std::deque<Row> Kept;  // the scrollback, oldest first
  std::size_t MostKept;
  Pen Current;
  StoredCell PlainBlank;  // a blank in the default colours, as cells beyond a row's end are
  VTermPos CursorPos{0, 0};
  bool CursorShown = true;
  bool Dirty = true;
  std::string Sent;  // what the keyboard functions produced
};

}  // namespace korvani::console
