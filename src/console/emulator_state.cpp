// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/emulator_state.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace korvani::console {

using detail::Row;
using detail::StoredCell;

ScreenEmulator::Impl::Impl(int rows, int columns, std::size_t scrollbackLines)
    : Term(vterm_new(rows, columns)),
      State(vterm_obtain_state(Term)),
      Filter([this](char32_t code) { return Marks.Joins(code); }),
      RowCount(rows),
      ColumnCount(columns),
      MostKept(scrollbackLines) {
  vterm_set_utf8(Term, 1);
  vterm_output_set_callback(
      Term,
      [](const char* bytes, std::size_t length, void* user) {
        static_cast<Impl*>(user)->Output(bytes, length);
      },
      this);
  Callbacks.putglyph = [](VTermGlyphInfo* info, VTermPos pos, void* user) {
    return static_cast<Impl*>(user)->PutGlyph(*info, pos);
  };
  Callbacks.movecursor = [](VTermPos, VTermPos, int visible, void* user) {
    auto* self = static_cast<Impl*>(user);
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

ScreenEmulator::Impl::~Impl() {
  vterm_free(Term);
}

void ScreenEmulator::Impl::Pass(std::string_view bytes) {
  vterm_input_write(Term, bytes.data(), bytes.size());
}

void ScreenEmulator::Impl::Repeat(std::string_view glyph, int count) {
  // As often as asked, up to a screenful: the copies wrap as typed text does.
  const auto times =
      static_cast<int>(std::min<std::int64_t>({count, std::int64_t{RowCount} * ColumnCount, RepeatBudget}));
  RepeatBudget -= times;
  std::string copies;
  copies.reserve(glyph.size() * static_cast<std::size_t>(times));
  for (int i = 0; i < times; ++i) {
    copies.append(glyph);
  }
  Pass(copies);
}

VTermPos ScreenEmulator::Impl::Cursor() const {
  VTermPos cursor{};
  vterm_state_get_cursorpos(State, &cursor);
  return cursor;
}

void ScreenEmulator::Impl::TerminalReset() {
  AltScreen = false;
  MainSaved.clear();
  Below.clear();
}

void ScreenEmulator::Impl::CursorRestored() {
  const VTermPos cursor = Cursor();
  if (cursor.row >= RowCount || cursor.col >= ColumnCount) {
    Pass("\x1b[" + std::to_string(std::min(cursor.row, RowCount - 1) + 1) + ";" +
         std::to_string(std::min(cursor.col, ColumnCount - 1) + 1) + "H");
  }
}

void ScreenEmulator::Impl::Output(const char* bytes, std::size_t length) {
  if (Typing) {
    Sent.append(bytes, length);
  } else if (Replies.size() + length <= kMostReplies) {
    Replies.append(bytes, length);
  }
}

detail::Pen ScreenEmulator::Impl::DefaultPen() const {
  Pen pen;
  vterm_state_get_default_colors(State, &pen.Fore, &pen.Back);
  return pen;
}

StoredCell ScreenEmulator::Impl::Blank() const {
  StoredCell cell;
  cell.Look.Fore = Current.Fore;
  cell.Look.Back = Current.Back;
  return cell;
}

Row ScreenEmulator::Impl::BlankRow() const {
  return PlainErase() ? Row() : Row(static_cast<std::size_t>(ColumnCount), Blank());
}

StoredCell& ScreenEmulator::Impl::CellAt(int row, int column) {
  Row& line = Grid[static_cast<std::size_t>(row)];
  if (line.size() == static_cast<std::size_t>(column)) {
    return line.emplace_back(PlainBlank);  // the row grows by the cell written, as text does
  }
  if (line.size() < static_cast<std::size_t>(column)) {
    line.resize(static_cast<std::size_t>(column) + 1, PlainBlank);
  }
  return line[static_cast<std::size_t>(column)];
}

StoredCell ScreenEmulator::Impl::CellOf(int row, int column) const {
  const Row& line = Grid[static_cast<std::size_t>(row)];
  return static_cast<std::size_t>(column) < line.size() ? line[static_cast<std::size_t>(column)] : PlainBlank;
}

const Row* ScreenEmulator::Impl::RowAt(int row) const {
  if (row < 0) {
    const auto back = static_cast<std::size_t>(-static_cast<long>(row));
    return back <= Kept.size() ? &Kept[Kept.size() - back] : nullptr;
  }
  return row < RowCount ? &Grid[static_cast<std::size_t>(row)] : nullptr;
}

int ScreenEmulator::Impl::PutGlyph(const VTermGlyphInfo& info, VTermPos pos) {
  // A glyph of no width (a mark libvterm found nothing to join to) takes no cell.
  if (info.width < 1 || pos.row < 0 || pos.row >= RowCount || pos.col < 0 || pos.col >= ColumnCount) {
    return 1;
  }
  StoredCell& cell = CellAt(pos.row, pos.col);
  cell.Character = info.chars[0];
  cell.Combining = info.chars[0] != 0 ? info.chars[1] : 0;
  cell.Width = static_cast<std::uint8_t>(std::min(info.width, 2));
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
int ScreenEmulator::Impl::ScrollRect(VTermRect rect, int downward, int rightward) {
  if (rightward != 0 || rect.start_col != 0 || rect.end_col != ColumnCount) {
    return 0;
  }
  if (rect.end_row == RowCount) {
    Below.clear();  // on a taller screen they would have moved: what is under is no longer known
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

Row ScreenEmulator::Impl::Keep(Row row) {
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

int ScreenEmulator::Impl::MoveRect(VTermRect dest, VTermRect src) {
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

int ScreenEmulator::Impl::Erase(VTermRect rect) {
  if (rect.end_row >= RowCount && rect.start_col <= 0 && rect.end_col >= ColumnCount) {
    Below.clear();  // whole rows erased to the screen's end: a taller screen's would be blank
  }
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

int ScreenEmulator::Impl::SetPenAttr(VTermAttr attr, const VTermValue& value) {
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

int ScreenEmulator::Impl::SetTermProp(VTermProp prop, const VTermValue& value) {
  if (prop == VTERM_PROP_CURSORVISIBLE) {
    CursorShown = value.boolean != 0;
  } else if (prop == VTERM_PROP_ALTSCREEN) {
    const bool on = value.boolean != 0;
    Below.clear();
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

void ScreenEmulator::Impl::FitGrid(std::deque<Row>& grid, int rows) const {
  grid.resize(static_cast<std::size_t>(rows < 0 ? RowCount : rows));
  for (Row& row : grid) {
    if (row.size() > static_cast<std::size_t>(ColumnCount)) {
      row.resize(static_cast<std::size_t>(ColumnCount));
    }
  }
}

int ScreenEmulator::Impl::Resize(int rows, int columns, VTermPos& delta) {
  ColumnCount = columns;
  if (rows > RowCount) {
    // A taller screen takes back the rows a shorter one held under it, then the newest
    // kept lines above what it shows.
    while (static_cast<int>(Grid.size()) < rows && !Below.empty()) {
      Grid.push_back(std::move(Below.front()));
      Below.pop_front();
    }
    const int back =
        AltScreen ? 0 : std::min(rows - static_cast<int>(Grid.size()), static_cast<int>(Kept.size()));
    for (int i = 0; i < back; ++i) {
      Grid.emplace_front(std::move(Kept.back()));
      Kept.pop_back();
    }
    delta.row += back;
  }
  const auto tooMany = [&] { return static_cast<int>(Grid.size()) > rows; };
  // A row leaving at the bottom is held for a taller screen (a blank one needs no keeping
  // while nothing is held after it).
  const auto lastBlank = [&] {
    return std::all_of(Grid.back().begin(), Grid.back().end(),
                       [](const StoredCell& c) { return c.Character == 0; });
  };
  const auto holdLast = [&] {
    if (!lastBlank() || !Below.empty()) {
      Below.push_front(std::move(Grid.back()));
    }
    Grid.pop_back();
  };
  if (tooMany()) {
    // Blank rows under the cursor go first; then lines above the cursor leave at the top,
    // down to the cursor's own; what is still too much is held from the bottom. The
    // cursor's row never leaves: libvterm takes a cursor moved above the screen as it is,
    // and writes before its arrays with it.
    int cursor = Cursor().row + delta.row;
    while (tooMany() && static_cast<int>(Grid.size()) - 1 > cursor && lastBlank()) {
      holdLast();
    }
    for (; tooMany() && cursor > 0; --cursor) {
      if (!AltScreen) {
        Keep(Grid.front());
      }
      Grid.pop_front();
      delta.row -= 1;
    }
    while (tooMany()) {
      holdLast();
    }
    while (Below.size() > kMostBelow) {
      Below.pop_back();
    }
  }
  delta.col = std::min(delta.col, columns - 1 - Cursor().col);
  RowCount = rows;
  FitGrid(Grid);
  FitGrid(Below, static_cast<int>(Below.size()));
  if (AltScreen) {
    FitGrid(MainSaved);
  }
  return Changed();
}

Rgb ScreenEmulator::Impl::ToRgb(VTermColor colour) const {
  vterm_state_convert_color_to_rgb(State, &colour);
  return {colour.rgb.red, colour.rgb.green, colour.rgb.blue};
}

Cell ScreenEmulator::Impl::Drawn(const StoredCell& stored) const {
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

}  // namespace korvani::console
