// SPDX-License-Identifier: GPL-3.0-or-later
// What stands between a board's bytes and libvterm: it lets through only what the library
// handles safely. Broken UTF-8 and C1 controls sent as text (U+0080 to U+009F) become U+FFFD,
// a combining mark with nothing to join or beyond the fifth on one character is dropped, an
// escape sequence reaches the library only whole (and with at most 16 parameters), and the repeat command
// (CSI b) is done here by repeating the last character (the library's own loops for ever after a glyph of
// width 0 or less).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace korvani::console {

class InputFilter {
 public:
  // Where the filtered bytes go, in order.
  class Sink {
   public:
    virtual ~Sink() = default;
    virtual void Pass(std::string_view bytes) = 0;
    // The repeat command: `glyph` (one character with its marks, UTF-8) `count` times.
    virtual void Repeat(std::string_view glyph, int count) = 0;
    // A saved cursor was restored (and a mode set, which may restore one): libvterm takes
    // it as it was saved, even when the screen has shrunk under it since.
    virtual void CursorRestored() = 0;
    // The terminal's reset (ESC c) was passed.
    virtual void TerminalReset() = 0;
  };
  // Whether a code point joins the character before it (a combining mark).
  using JoinsTest = std::function<bool(char32_t)>;

  static constexpr int kMostMarks = 5;  // libvterm keeps six code points to a cell
  static constexpr std::size_t kMostSequence = 64;
  // libvterm 0.1.4 writes past its table of a sequence's parameters from the 17th on.
  static constexpr int kMostParameters = 16;
  static constexpr int kMostRepeat = 65535;

  explicit InputFilter(JoinsTest joins) : Joins(std::move(joins)) {}

  void Filter(std::string_view bytes, Sink& sink);
  // After a terminal reset: nothing to repeat, no sequence begun.
  void Reset();

 private:
  enum class State : std::uint8_t { Ground, Escape, Csi, CsiIgnore, String };

  void Flush(Sink& sink);
  // One byte outside the fast path of plain text.
  void Step(unsigned char byte, Sink& sink);
  bool StepText(unsigned char byte);
  void Character(char32_t code, std::string_view bytes);
  void Sequence(unsigned char byte, Sink& sink);
  void EndCsi(unsigned char final, Sink& sink);
  void EndEscape(unsigned char final, Sink& sink);
  void Control(unsigned char byte);
  void Replace();  // U+FFFD in place of what could not be read

  JoinsTest Joins;
  State Now = State::Ground;
  std::string Out;       // passed bytes not yet handed on
  std::string Seq;       // an escape sequence begun
  int Separators = 0;    // between its parameters
  std::string Utf8;      // a UTF-8 character begun
  std::size_t Need = 0;  // its bytes still to come
  char32_t Code = 0;
  std::string LastGlyph;  // the last character printed, with its marks
  int Marks = 0;          // marks on it so far
  bool CanJoin = false;   // a mark now joins LastGlyph (nothing came between)
  // The character sets designated G0 to G3 (the bytes after ESC ( and the like) and the one
  // shifted in; and what the cursor's save took of them.
  struct CharacterSets {
    std::array<std::string, 4> Designated{"B", "B", "B", "B"};
    int Left = 0;
  };
  CharacterSets Sets;
  std::optional<CharacterSets> Saved;
};

}  // namespace korvani::console
