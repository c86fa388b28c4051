// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/input_filter.h"

#include <algorithm>
#include <array>

namespace korvani::console {

namespace {

constexpr unsigned char kEscape = 0x1B;
constexpr unsigned char kCancel = 0x18;
constexpr unsigned char kSubstitute = 0x1A;
constexpr unsigned char kDelete = 0x7F;
constexpr unsigned char kShiftOut = 0x0E;                  // G1 into use
constexpr unsigned char kShiftIn = 0x0F;                   // G0 into use
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

bool Cancels(unsigned char byte) {
  return byte == kCancel || byte == kSubstitute;
}

// The repeat count of "CSI n b": digits up to the first separator; 0 or none means 1.
// -1 for a sequence with a private marker or intermediate bytes.
int RepeatCount(std::string_view parameters) {
  long count = 0;
  bool first = true;
  for (const char c : parameters) {
    if (c == ';' || c == ':') {
      first = false;
    } else if (c >= '0' && c <= '9') {
      if (first) {
        count = std::min<long>(count * 10 + (c - '0'), InputFilter::kMostRepeat);
      }
    } else {
      return -1;
    }
  }
  return count == 0 ? 1 : static_cast<int>(count);
}

}  // namespace

void InputFilter::Filter(std::string_view bytes, Sink& sink) {
  std::size_t at = 0;
  while (at < bytes.size()) {
    if (Now == State::Ground && Need == 0) {
      // The common case: plain text and the controls that need no look, passed in one piece.
      std::size_t end = at;
      for (; end < bytes.size(); ++end) {
        const auto byte = static_cast<unsigned char>(bytes[end]);
        if (byte >= kDelete ||
            (byte < 0x20 && (byte == kEscape || Cancels(byte) || byte == kShiftOut || byte == kShiftIn))) {
          break;
        }
      }
      if (end > at) {
        Out.append(bytes.substr(at, end - at));
        std::size_t last = end;
        while (last > at && static_cast<unsigned char>(bytes[last - 1]) < 0x20) {
          --last;  // the controls after the last character
        }
        if (last > at) {
          LastGlyph.assign(1, bytes[last - 1]);
          Marks = 0;
        }
        CanJoin = last == end;
        at = end;
        continue;
      }
    }
    Step(static_cast<unsigned char>(bytes[at]), sink);
    ++at;
  }
  Flush(sink);
}

void InputFilter::Reset() {
  Now = State::Ground;
  Seq.clear();
  Utf8.clear();
  Need = 0;
  LastGlyph.clear();
  Marks = 0;
  CanJoin = false;
  Sets = {};
  Saved.reset();
}

void InputFilter::Flush(Sink& sink) {
  if (!Out.empty()) {
    sink.Pass(Out);
    Out.clear();
  }
}

void InputFilter::Step(unsigned char byte, Sink& sink) {
  if (Now != State::Ground && Now != State::String) {
    Sequence(byte, sink);
    return;
  }
  // Text, or a string's content (a title, a device control string): checked alike, as
  // libvterm may not take a string where this filter does.
  if (Need > 0 || byte >= 0x80) {
    if (!StepText(byte)) {
      Step(byte, sink);  // it broke off a character: taken afresh
    }
  } else if (byte == kEscape) {
    Seq.assign(1, static_cast<char>(byte));  // in a string: its terminator (ESC \) or a new sequence
    Now = State::Escape;
    CanJoin = false;
  } else if (byte < 0x20 || byte == kDelete) {
    Control(byte);
    CanJoin = false;
    if (Now == State::String && byte != kDelete) {
      Now = State::Ground;  // BEL ends it; any other control is taken to, in doubt
    }
  } else {
    Character(byte, std::string_view(reinterpret_cast<const char*>(&byte), 1));
  }
}

// A byte of a character beyond ASCII, checked as UTF-8 is (no overlong forms, no
// surrogates, nothing past U+10FFFF). False when the byte does not belong to the character
// begun, which is then replaced.
bool InputFilter::StepText(unsigned char byte) {
  if (Need == 0) {
    Utf8.assign(1, static_cast<char>(byte));
    if (byte >= 0xC2 && byte <= 0xDF) {
      Need = 1;
      Code = byte & 0x1FU;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
      Need = 2;
      Code = byte & 0x0FU;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
      Need = 3;
      Code = byte & 0x07U;
    } else {
      Replace();
    }
    return true;
  }
  const auto lead = static_cast<unsigned char>(Utf8[0]);
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (Utf8.size() == 1) {
    low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : low;
    high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : high;
  }
  if (byte < low || byte > high) {
    Need = 0;
    Replace();
    return false;
  }
  Utf8 += static_cast<char>(byte);
  Code = (Code << 6U) | (byte & 0x3FU);
  if (--Need == 0) {
    Character(Code, Utf8);
  }
  return true;
}

void InputFilter::Character(char32_t code, std::string_view bytes) {
  if (code >= 0x80 && code <= 0x9F) {
    Replace();  // a C1 control sent as text: shown, never obeyed
    return;
  }
  if (code >= 0x300 && Joins(code)) {
    if (CanJoin && Marks < kMostMarks && Now == State::Ground) {
      Out.append(bytes);
      LastGlyph.append(bytes);
      ++Marks;
    }
    return;
  }
  Out.append(bytes);
  if (Now == State::Ground) {
    LastGlyph.assign(bytes);
    Marks = 0;
    CanJoin = true;
  }
}

void InputFilter::Replace() {
  Character(0xFFFD, kReplacement);
}

void InputFilter::Sequence(unsigned char byte, Sink& sink) {
  if (byte == kEscape) {
    Seq.assign(1, static_cast<char>(byte));  // a new sequence in place of the one begun
    Now = State::Escape;
    return;
  }
  if (Cancels(byte)) {
    Seq.clear();
    Out += static_cast<char>(byte);
    Now = State::Ground;
    return;
  }
  if (byte < 0x20) {
    Control(byte);  // a control inside a sequence acts at once
    return;
  }
  if (byte == kDelete) {
    return;
  }
  if (byte >= 0x80) {
    Seq.clear();  // not a sequence after all: the byte is text
    Now = State::Ground;
    Step(byte, sink);
    return;
  }
  if (Now == State::CsiIgnore) {
    if (byte >= 0x40) {
      Now = State::Ground;
    }
    return;
  }
  if (Now == State::Escape) {
    // libvterm takes these as introducers even after intermediate bytes (ESC ) [ begins a
    // sequence to it, not a character set), so this filter does too.
    if (byte == '[') {
      Seq += static_cast<char>(byte);
      Separators = 0;
      Now = State::Csi;
      return;
    }
    // The strings libvterm knows (a title, a device control string); other introducers
    // (SOS, PM, APC) are two-byte sequences to it, and what follows them is text.
    if (byte == ']' || byte == 'P') {
      Out += Seq;
      Out += static_cast<char>(byte);
      Seq.clear();
      Now = State::String;
      return;
    }
  }
  const unsigned char finalFrom = Now == State::Csi ? 0x40 : 0x30;
  if (byte >= finalFrom) {
    if (Now == State::Csi) {
      EndCsi(byte, sink);
      return;
    }
    Out += Seq;
    Out += static_cast<char>(byte);
    EndEscape(byte, sink);
    Seq.clear();
    Now = State::Ground;
    return;
  }
  Seq += static_cast<char>(byte);
  Separators += Now == State::Csi && (byte == ';' || byte == ':') ? 1 : 0;
  if (Seq.size() > kMostSequence || Separators >= kMostParameters) {
    Seq.clear();
    Now = State::CsiIgnore;  // too long to be meant: dropped up to its end
  }
}

void InputFilter::Control(unsigned char byte) {
  Out += static_cast<char>(byte);
  if (byte == kShiftOut || byte == kShiftIn) {
    Sets.Left = byte == kShiftOut ? 1 : 0;
  }
}

// An escape sequence passed whole (Seq, then its final byte): the character sets it
// designates or shifts in are followed, so that restoring the cursor restores them too, as
// it does on a VT100 and xterm (libvterm 0.1.4 restores the position and the look only).
void InputFilter::EndEscape(unsigned char final, Sink& sink) {
  static constexpr std::string_view kDesignators = "()*+";
  if (Seq.size() == 1) {
    switch (final) {
      case 'c':  // the terminal's reset
        LastGlyph.clear();
        Sets = {};
        Saved.reset();
        Flush(sink);
        sink.TerminalReset();
        break;
      case 'n':
      case 'o':
        Sets.Left = final == 'n' ? 2 : 3;
        break;
      case '7':
        Saved = Sets;
        break;
      case '8':
        if (Saved) {
          Sets = *Saved;
          for (std::size_t set = 0; set < Sets.Designated.size(); ++set) {
            Out += '\x1b';
            Out += kDesignators[set];
            Out += Sets.Designated[set];
          }
          static constexpr std::array<std::string_view, 4> kShifts = {"\x0f", "\x0e", "\x1bn", "\x1bo"};
          Out += kShifts[static_cast<std::size_t>(Sets.Left)];
        }
        Flush(sink);
        sink.CursorRestored();
        break;
      default:
        break;
    }
    return;
  }
  const std::size_t set = kDesignators.find(Seq[1]);
  if (set != std::string_view::npos) {
    Sets.Designated[set] = Seq.substr(2) + static_cast<char>(final);
  }
}

void InputFilter::EndCsi(unsigned char final, Sink& sink) {
  Now = State::Ground;
  CanJoin = false;
  if (final != 'b') {
    Out += Seq;
    Out += static_cast<char>(final);
    Seq.clear();
    if (final == 'u' || final == 'h' || final == 'l') {
      Flush(sink);
      sink.CursorRestored();
    }
    return;
  }
  const std::size_t parameters = Seq.find('[') + 1;
  const int count = parameters == 2 ? RepeatCount(std::string_view(Seq).substr(2)) : -1;
  Seq.clear();
  if (count > 0 && !LastGlyph.empty()) {
    Flush(sink);
    sink.Repeat(LastGlyph, count);
  }
}

}  // namespace korvani::console
