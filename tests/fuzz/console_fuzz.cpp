// SPDX-License-Identifier: GPL-3.0-or-later
// The fuzzer's bytes are what a board's shell sends the console, with the window resized and
// keys typed in between: a byte 0xFF starts a command (0xFF 'r' ROWS COLUMNS resizes, 0xFF 'k'
// KEY MODIFIERS and 0xFF 'c' B1 B2 B3 MODIFIERS type, 0xFF 'q' takes the answers and reads
// the screen); every other run of bytes is fed as one chunk. The cursor must stay on the
// screen whatever comes.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "console/screen_emulator.h"

namespace {

using korvani::console::Key;
using korvani::console::Modifiers;
using korvani::console::ScreenEmulator;

Modifiers ModifiersOf(std::uint8_t bits) {
  return {(bits & 1U) != 0, (bits & 2U) != 0, (bits & 4U) != 0};
}

void CheckCursor(const ScreenEmulator& screen) {
  const auto cursor = screen.CursorAt();
  if (cursor.Row < 0 || cursor.Row >= screen.Rows() || cursor.Column < 0 ||
      cursor.Column >= screen.Columns()) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ScreenEmulator screen(24, 80, 200);
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t at = 0;
  const auto arg = [&](std::size_t offset) {
    return at + offset < size ? data[at + offset] : std::uint8_t{0};
  };
  while (at < size) {
    if (data[at] != 0xFF || at + 1 >= size) {
      const std::size_t end = std::min(size, input.find('\xFF', at + 1));
      screen.Feed(input.substr(at, end - at));
      at = end;
      CheckCursor(screen);
      continue;
    }
    switch (data[at + 1]) {
      case 'r':
        screen.Resize(arg(2) % 64 + 1, arg(3) % 200 + 1);
        at += 4;
        break;
      case 'k':
        (void)screen.KeyBytes(static_cast<Key>(arg(2) % (static_cast<int>(Key::F12) + 1)),
                              ModifiersOf(arg(3)));
        at += 4;
        break;
      case 'c':
        (void)screen.CharBytes(static_cast<char32_t>((arg(2) << 16U) | (arg(3) << 8U) | arg(4)),
                               ModifiersOf(arg(5)));
        at += 6;
        break;
      case 'q':
        (void)screen.TakeReplies();
        for (int row = -static_cast<int>(screen.ScrollbackCount()); row < screen.Rows(); ++row) {
          (void)screen.TextOf(row);
        }
        (void)screen.At(screen.CursorAt().Row, screen.CursorAt().Column);
        at += 2;
        break;
      default:
        screen.Feed(input.substr(at, 1));
        at += 1;
        break;
    }
    CheckCursor(screen);
  }
  return 0;
}
