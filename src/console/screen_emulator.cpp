#include "console/screen_emulator.h"

#include <vterm.h>

#include <algorithm>
#include <deque>
#include <utility>
#include <vector>

namespace korvani::console {

namespace {

// A scrolled-off cell, kept small: its first character and its look as libvterm gave them.
struct KeptCell {
  char32_t Character = 0;
  VTermColor Fore{};
  VTermColor Back{};
  VTermScreenCellAttrs Attrs{};
  std::int8_t Width = 1;
};
using KeptLine = std::vector<KeptCell>;  // up to its last cell that is not a blank

VTermModifier ToVterm(Modifiers modifiers) {
  int mod = VTERM_MOD_NONE;
  mod |= modifiers.Shift ? VTERM_MOD_SHIFT : 0;
  mod |= modifiers.Alt ? VTERM_MOD_ALT : 0;
  mod |= modifiers.Ctrl ? VTERM_MOD_CTRL : 0;
  return static_cast<VTermModifier>(mod);
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

struct ScreenEmulator::Impl {
  Impl(int rows, int columns, std::size_t scrollbackLines)
      : Term(vterm_new(rows, columns)), Screen(vterm_obtain_screen(Term)), MostKept(scrollbackLines) {
    vterm_set_utf8(Term, 1);
    vterm_output_set_callback(Term, &Impl::Output, this);
    Callbacks.damage = [](VTermRect, void* user) { return static_cast<Impl*>(user)->Changed(); };
    Callbacks.moverect = [](VTermRect, VTermRect, void* user) { return static_cast<Impl*>(user)->Changed(); };
    Callbacks.movecursor = [](VTermPos pos, VTermPos, int visible, void* user) {
      auto* self = static_cast<Impl*>(user);
      self->CursorPos = pos;
      self->CursorShown = visible != 0;
      return self->Changed();
    };
    Callbacks.settermprop = [](VTermProp prop, VTermValue* value, void* user) {
      auto* self = static_cast<Impl*>(user);
      if (prop == VTERM_PROP_CURSORVISIBLE) {
        self->CursorShown = value->boolean != 0;
      }
      return self->Changed();
    };
    Callbacks.sb_pushline = [](int cols, const VTermScreenCell* cells, void* user) {
      return static_cast<Impl*>(user)->PushLine(cols, cells);
    };
    Callbacks.sb_popline = [](int cols, VTermScreenCell* cells, void* user) {
      return static_cast<Impl*>(user)->PopLine(cols, cells);
    };
    vterm_screen_set_callbacks(Screen, &Callbacks, this);
    vterm_screen_set_damage_merge(Screen, VTERM_DAMAGE_SCROLL);
    vterm_screen_enable_altscreen(Screen, 1);
    VTermColor fore;
    VTermColor back;
    vterm_color_rgb(&fore, kDefaultFore.Red, kDefaultFore.Green, kDefaultFore.Blue);
    vterm_color_rgb(&back, kDefaultBack.Red, kDefaultBack.Green, kDefaultBack.Blue);
    vterm_state_set_default_colors(vterm_obtain_state(Term), &fore, &back);
    vterm_screen_reset(Screen, 1);
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
  int PushLine(int cols, const VTermScreenCell* cells) {
    int end = cols;
    while (end > 0 && cells[end - 1].chars[0] == 0 && VTERM_COLOR_IS_DEFAULT_BG(&cells[end - 1].bg)) {
      --end;  // blanks at the end take no room
    }
    KeptLine line(static_cast<std::size_t>(end));
    for (int i = 0; i < end; ++i) {
      const VTermScreenCell& cell = cells[i];
      line[static_cast<std::size_t>(i)] = {cell.chars[0], cell.fg, cell.bg, cell.attrs,
                                           static_cast<std::int8_t>(cell.width)};
    }
    Kept.push_back(std::move(line));
    if (Kept.size() > MostKept) {
      Kept.pop_front();
    }
    return Changed();
  }
  int PopLine(int cols, VTermScreenCell* cells) {
    if (Kept.empty()) {
      return 0;
    }
    const KeptLine& line = Kept.back();
    VTermColor fore;
    VTermColor back;
    vterm_state_get_default_colors(vterm_obtain_state(Term), &fore, &back);
    for (int i = 0; i < cols; ++i) {
      VTermScreenCell& cell = cells[i];
      cell = VTermScreenCell{};
      if (static_cast<std::size_t>(i) < line.size()) {
        const KeptCell& kept = line[static_cast<std::size_t>(i)];
        cell.chars[0] = kept.Character;
        cell.fg = kept.Fore;
        cell.bg = kept.Back;
        cell.attrs = kept.Attrs;
        cell.width = static_cast<char>(kept.Width);
      } else {
        cell.fg = fore;
        cell.bg = back;
        cell.width = 1;
      }
    }
    Kept.pop_back();
    return Changed();
  }

  [[nodiscard]] Rgb ToRgb(VTermColor colour) const {
    vterm_screen_convert_color_to_rgb(Screen, &colour);
    return {colour.rgb.red, colour.rgb.green, colour.rgb.blue};
  }
  [[nodiscard]] Cell Look(const VTermScreenCellAttrs& attrs, const VTermColor& fore, const VTermColor& back,
                          int width) const {
    Cell cell;
    cell.Fore = ToRgb(fore);
    cell.Back = ToRgb(back);
    if (attrs.reverse != 0) {
      std::swap(cell.Fore, cell.Back);
    }
    cell.Bold = attrs.bold != 0;
    cell.Underline = attrs.underline != 0;
    cell.Italic = attrs.italic != 0;
    cell.Width = width;
    return cell;
  }

  VTerm* Term;
  VTermScreen* Screen;
  VTermScreenCallbacks Callbacks{};
  std::deque<KeptLine> Kept;  // oldest first
  std::size_t MostKept;
  VTermPos CursorPos{0, 0};
  bool CursorShown = true;
  bool Dirty = true;
  std::string Sent;  // what the keyboard functions produced
};

ScreenEmulator::ScreenEmulator(int rows, int columns, std::size_t scrollbackLines)
    : State(std::make_unique<Impl>(std::max(1, rows), std::max(1, columns), scrollbackLines)) {}

ScreenEmulator::~ScreenEmulator() = default;

void ScreenEmulator::Feed(std::string_view bytes) {
  if (!bytes.empty()) {
    vterm_input_write(State->Term, bytes.data(), bytes.size());
  }
}

void ScreenEmulator::Resize(int rows, int columns) {
  rows = std::max(1, rows);
  columns = std::max(1, columns);
  if (rows != Rows() || columns != Columns()) {
    vterm_set_size(State->Term, rows, columns);
    State->Changed();
  }
}

int ScreenEmulator::Rows() const {
  int rows = 0;
  int columns = 0;
  vterm_get_size(State->Term, &rows, &columns);
  return rows;
}

int ScreenEmulator::Columns() const {
  int rows = 0;
  int columns = 0;
  vterm_get_size(State->Term, &rows, &columns);
  return columns;
}

std::size_t ScreenEmulator::ScrollbackCount() const {
  return State->Kept.size();
}

Cell ScreenEmulator::At(int row, int column) const {
  VTermColor fore;
  VTermColor back;
  vterm_state_get_default_colors(vterm_obtain_state(State->Term), &fore, &back);
  if (row < 0) {
    const auto backIndex = static_cast<std::size_t>(-row);
    if (backIndex > State->Kept.size() || column < 0) {
      return State->Look({}, fore, back, 1);
    }
    const KeptLine& line = State->Kept[State->Kept.size() - backIndex];
    if (static_cast<std::size_t>(column) >= line.size()) {
      return State->Look({}, fore, back, 1);
    }
    const KeptCell& kept = line[static_cast<std::size_t>(column)];
    Cell cell = State->Look(kept.Attrs, kept.Fore, kept.Back, kept.Width);
    if (kept.Character != 0) {
      cell.Text.assign(1, kept.Character);
    }
    return cell;
  }
  VTermScreenCell raw{};
  if (row >= Rows() || column < 0 || column >= Columns() ||
      vterm_screen_get_cell(State->Screen, VTermPos{row, column}, &raw) == 0) {
    return State->Look({}, fore, back, 1);
  }
  Cell cell = State->Look(raw.attrs, raw.fg, raw.bg, raw.width);
  for (const std::uint32_t c : raw.chars) {
    if (c == 0) {
      break;
    }
    cell.Text += static_cast<char32_t>(c);
  }
  return cell;
}

std::string ScreenEmulator::TextOf(int row) const {
  int columns = Columns();
  if (row < 0) {
    const auto back = static_cast<std::size_t>(-row);
    columns =
        back <= State->Kept.size() ? static_cast<int>(State->Kept[State->Kept.size() - back].size()) : 0;
  }
  std::string text;
  std::size_t kept = 0;
  for (int column = 0; column < columns; ++column) {
    const Cell cell = At(row, column);
    if (cell.Width == 0) {
      continue;  // the second half of a wide character
    }
    if (cell.Text.empty()) {
      text += ' ';
      continue;
    }
    for (const char32_t c : cell.Text) {
      AppendUtf8(text, c);
    }
    kept = text.size();
  }
  text.resize(kept);
  return text;
}

Cursor ScreenEmulator::CursorAt() const {
  return {State->CursorPos.row, State->CursorPos.col, State->CursorShown};
}

bool ScreenEmulator::TakeChanged() {
  return std::exchange(State->Dirty, false);
}

void ScreenEmulator::Clear() {
  State->Kept.clear();
  vterm_screen_reset(State->Screen, 1);
  State->Changed();
}

std::string ScreenEmulator::KeyBytes(Key key, Modifiers modifiers) {
  if (key == Key::Enter && !modifiers.Alt) {
    return Enter == EnterSends::Cr ? "\r" : Enter == EnterSends::Lf ? "\n" : "\r\n";
  }
  if (key == Key::Backspace && !modifiers.Alt) {
    return Backspace == BackspaceSends::Del ? "\x7f" : "\b";
  }
  VTermKey vkey = VTERM_KEY_NONE;
  switch (key) {
    case Key::Enter:
      vkey = VTERM_KEY_ENTER;
      break;
    case Key::Tab:
      vkey = VTERM_KEY_TAB;
      break;
    case Key::Backspace:
      vkey = VTERM_KEY_BACKSPACE;
      break;
    case Key::Escape:
      vkey = VTERM_KEY_ESCAPE;
      break;
    case Key::Up:
      vkey = VTERM_KEY_UP;
      break;
    case Key::Down:
      vkey = VTERM_KEY_DOWN;
      break;
    case Key::Left:
      vkey = VTERM_KEY_LEFT;
      break;
    case Key::Right:
      vkey = VTERM_KEY_RIGHT;
      break;
    case Key::Insert:
      vkey = VTERM_KEY_INS;
      break;
    case Key::Delete:
      vkey = VTERM_KEY_DEL;
      break;
    case Key::Home:
      vkey = VTERM_KEY_HOME;
      break;
    case Key::End:
      vkey = VTERM_KEY_END;
      break;
    case Key::PageUp:
      vkey = VTERM_KEY_PAGEUP;
      break;
    case Key::PageDown:
      vkey = VTERM_KEY_PAGEDOWN;
      break;
    default:
      vkey = static_cast<VTermKey>(VTERM_KEY_FUNCTION(static_cast<int>(key) - static_cast<int>(Key::F1) + 1));
      break;
  }
  State->Sent.clear();
  vterm_keyboard_key(State->Term, vkey, ToVterm(modifiers));
  return std::exchange(State->Sent, {});
}

std::string ScreenEmulator::CharBytes(char32_t character, Modifiers modifiers) {
  State->Sent.clear();
  vterm_keyboard_unichar(State->Term, static_cast<std::uint32_t>(character), ToVterm(modifiers));
  return std::exchange(State->Sent, {});
}

}  // namespace korvani::console
