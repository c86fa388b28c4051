// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/screen_emulator.h"

#include <algorithm>
#include <utility>

#include "console/emulator_state.h"

namespace korvani::console {

namespace {

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
  return State->RowCount;
}

int ScreenEmulator::Columns() const {
  return State->ColumnCount;
}

std::size_t ScreenEmulator::ScrollbackCount() const {
  return State->Kept.size();
}

Cell ScreenEmulator::At(int row, int column) const {
  const detail::Row* line = nullptr;
  if (row < 0) {
    const auto back = static_cast<std::size_t>(-row);
    line = back <= State->Kept.size() ? &State->Kept[State->Kept.size() - back] : nullptr;
  } else if (row < Rows()) {
    line = &State->Grid[static_cast<std::size_t>(row)];
  }
  if (line == nullptr || column < 0 || static_cast<std::size_t>(column) >= line->size()) {
    return State->Drawn(State->PlainBlank);
  }
  return State->Drawn((*line)[static_cast<std::size_t>(column)]);
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
  State->AltScreen = false;
  State->MainSaved.clear();
  vterm_state_reset(State->State, 1);
  State->Current = State->DefaultPen();
  std::fill(State->Grid.begin(), State->Grid.end(), State->BlankRow());
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
