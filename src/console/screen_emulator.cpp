// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/screen_emulator.h"

#include <algorithm>
#include <utility>

#include "base/ansi_text.h"
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

// The control code xterm sends for Ctrl with a character, or -1 for none.
int ControlCode(char32_t c) {
  if (c >= U'@' && c <= U'~') {
    return static_cast<int>(c & 0x1FU);  // letters, @ [ \ ] ^ _ and ` { | } ~, as X does
  }
  switch (c) {
    case U' ':
    case U'2':
      return 0x00;
    case U'3':
      return 0x1B;
    case U'4':
      return 0x1C;
    case U'5':
      return 0x1D;
    case U'6':
      return 0x1E;
    case U'/':
    case U'7':
      return 0x1F;
    case U'?':
    case U'8':
      return 0x7F;
    default:
      return -1;
  }
}

}  // namespace

ScreenEmulator::ScreenEmulator(int rows, int columns, std::size_t scrollbackLines)
    : State(std::make_unique<Impl>(std::max(1, rows), std::max(kFewestColumns, columns), scrollbackLines)) {}

ScreenEmulator::~ScreenEmulator() = default;

void ScreenEmulator::Feed(std::string_view bytes) {
  State->Feed(bytes);
}

void ScreenEmulator::Resize(int rows, int columns) {
  rows = std::max(1, rows);
  columns = std::max(kFewestColumns, columns);
  if (rows != Rows() || columns != Columns()) {
    const bool rowsChange = rows != Rows();
    vterm_set_size(State->Term, rows, columns);
    if (rowsChange) {
      // The scroll region goes back to the whole screen, as xterm's does: libvterm keeps one
      // that no longer fits, and scrolls it with a negative length. Setting it homes the
      // cursor, which is put back.
      VTermPos cursor{};
      vterm_state_get_cursorpos(State->State, &cursor);
      // CAN first: libvterm may be inside a string the filter still holds open.
      State->Pass("\x18\x1b[r\x1b[" + std::to_string(cursor.row + 1) + ";" + std::to_string(cursor.col + 1) +
                  "H");
    }
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
  const detail::Row* line = State->RowAt(row);
  if (line == nullptr || column < 0 || static_cast<std::size_t>(column) >= line->size()) {
    return State->Drawn(State->PlainBlank);
  }
  return State->Drawn((*line)[static_cast<std::size_t>(column)]);
}

std::string ScreenEmulator::TextOf(int row, int fromColumn, int toColumn) const {
  const detail::Row* line = State->RowAt(row);
  const int columns = std::min(toColumn, line == nullptr ? 0 : static_cast<int>(line->size()));
  std::string text;
  std::size_t kept = 0;
  for (int column = std::max(0, fromColumn); column < columns; ++column) {
    const Cell cell = At(row, column);
    if (cell.Width == 0) {
      continue;  // the second half of a wide character
    }
    if (cell.Text.empty() || cell.Text == U" ") {
      text += ' ';  // kept only if more follows
      continue;
    }
    for (const char32_t c : cell.Text) {
      base::AppendUtf8(text, c);
    }
    kept = text.size();
  }
  text.resize(kept);
  return text;
}

Cursor ScreenEmulator::CursorAt() const {
  const VTermPos cursor = State->Cursor();
  return {cursor.row, cursor.col, State->CursorShown};
}

std::string ScreenEmulator::TakeReplies() {
  return std::exchange(State->Replies, {});
}

bool ScreenEmulator::TakeChanged() {
  return std::exchange(State->Dirty, false);
}

void ScreenEmulator::Clear() {
  State->Kept.clear();
  State->Below.clear();
  State->AltScreen = false;
  State->MainSaved.clear();
  State->Pass("\x18");  // out of any string or sequence libvterm may be in
  vterm_state_reset(State->State, 1);
  State->Filter.Reset();
  State->TerminalReset();
  State->Current = State->DefaultPen();
  std::fill(State->Grid.begin(), State->Grid.end(), State->BlankRow());
  State->Changed();
}
std::string ScreenEmulator::KeyBytes(Key key, Modifiers modifiers) {
  // Enter, Backspace, Tab and Esc as xterm sends them with any modifier: the key's byte (the
  // choice made for Enter and Backspace), ESC before it with Alt; Shift+Tab is back-tab.
  const std::string alt = modifiers.Alt ? "\x1b" : "";
  switch (key) {
    case Key::Enter:
      return alt + (Enter == EnterSends::Cr ? "\r" : Enter == EnterSends::Lf ? "\n" : "\r\n");
    case Key::Backspace:
      return alt + (Backspace == BackspaceSends::Del ? "\x7f" : "\b");
    case Key::Escape:
      return alt + "\x1b";
    case Key::Tab:
      return alt + (modifiers.Shift ? "\x1b[Z" : "\t");
    default:
      break;
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
  State->Typing = true;
  vterm_keyboard_key(State->Term, vkey, ToVterm(modifiers));
  State->Typing = false;
  return std::exchange(State->Sent, {});
}

// Done here, not by libvterm, which sends Ctrl+I, J, M and [ as CSI u sequences a board's
// shell does not know, and Alt with a character beyond ASCII as a lone byte.
std::string ScreenEmulator::CharBytes(char32_t character, Modifiers modifiers) {
  std::string bytes = modifiers.Alt ? "\x1b" : "";
  const int control = modifiers.Ctrl ? ControlCode(character) : -1;
  if (control >= 0) {
    bytes += static_cast<char>(control);
  } else {
    base::AppendUtf8(bytes, character);
  }
  return bytes;
}

}  // namespace korvani::console
