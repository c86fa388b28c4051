// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/hex_notation.h"

#include <array>

#include "base/text.h"

namespace korvani::base {

namespace {

char ByteChar(int code) {
  return static_cast<char>(static_cast<unsigned char>(code));
}

}  // namespace

void AppendAsciiToDisplay(std::string& out, std::string_view text) {
  // Shown as they are: LF, CR and 32 to 127. Runs of them are copied whole.
  static constexpr std::array<bool, 256> kShown = [] {
    std::array<bool, 256> shown{};
    for (unsigned code = 0; code < 256; ++code) {
      shown[code] = code == 10 || code == 13 || (code >= 32 && code <= 127);
    }
    return shown;
  }();
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = at;
    while (end < text.size() && kShown[static_cast<unsigned char>(text[end])]) {
      ++end;
    }
    out.append(text.data() + at, end - at);
    if (end < text.size()) {
      char escaped[4] = {'\'', 0, 0, ' '};
      PutHexPair(escaped + 1, static_cast<unsigned char>(text[end]));
      out.append(escaped, 4);
      ++end;
    }
    at = end;
  }
}

std::string AsciiToDisplay(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendAsciiToDisplay(out, text);
  return out;
}

std::int16_t SafeAsc(std::string_view text) {
  return text.empty() ? std::int16_t{0} : static_cast<std::int16_t>(static_cast<unsigned char>(text.front()));
}

std::string HexToAsciiString(std::string_view text) {
  const std::size_t n = text.size() < kHexListingLimit ? text.size() : kHexListingLimit;
  std::string out;
  out.reserve(n * 3 + 64);
  for (std::size_t i = 0; i < n; ++i) {
    AppendHexPair(out, static_cast<unsigned char>(text[i]));
    out.push_back(' ');
  }
  if (text.size() > kHexListingLimit) {
    out += " truncated to 5000 bytes in HexToAsciiString";
  }
  return out;
}

namespace {

// Reads a typed line one character at a time: plain text, an apostrophe with one or two hex
// digits for a byte, and a semicolon that starts a comment unless it is doubled.
class TxTextReader {
 public:
  explicit TxTextReader(std::size_t size) { Out.reserve(size); }

  // False once the rest of the line is a comment.
  bool Take(char ch) {
    const int digit = base::HexDigitValue(ch);
    switch (Now) {
      case State::Plain:
        TakePlain(ch);
        break;
      case State::Quote:
        TakeAfterQuote(ch, digit);
        break;
      case State::Digit1:
        TakeSecondDigit(ch, digit);
        break;
      case State::Escaped:
        TakeAfterEscape(ch);
        break;
      case State::Semi:
        return TakeAfterSemicolon(ch);
    }
    return true;
  }

  // What an unfinished escape at the end of the line stands for is kept.
  std::string Finish() {
    if (Now == State::Quote) {
      Out.push_back('\'');
    } else if (Now == State::Digit1) {
      Out.push_back(ByteChar(First));
    }
    return std::move(Out);
  }

 private:
  enum class State { Plain, Quote, Digit1, Escaped, Semi };

  void TakePlain(char ch) {
    if (ch == '\'') {
      Now = State::Quote;
    } else if (ch == ';') {
      Now = State::Semi;
    } else {
      Out.push_back(ch);
    }
  }

  // An apostrophe not followed by a hex digit stands for itself (two for one).
  void TakeAfterQuote(char ch, int digit) {
    if (digit >= 0) {
      First = digit;
      Now = State::Digit1;
      return;
    }
    Out.push_back('\'');
    if (ch != '\'') {
      Out.push_back(ch);
    }
    Now = State::Plain;
  }

  // One digit was a whole escape; what follows it is read as after any escape, except that a
  // semicolon still starts a comment.
  void TakeSecondDigit(char ch, int digit) {
    if (digit >= 0) {
      Out.push_back(ByteChar(First * 16 + digit));
      Now = State::Escaped;
      return;
    }
    Out.push_back(ByteChar(First));
    if (ch == ';') {
      Now = State::Semi;
      return;
    }
    TakeAfterEscape(ch);
  }

  // A space right after an escape only separates it from what follows.
  void TakeAfterEscape(char ch) {
    if (ch == '\'') {
      Now = State::Quote;
      return;
    }
    if (ch != ' ') {
      Out.push_back(ch);
    }
    Now = State::Plain;
  }

  bool TakeAfterSemicolon(char ch) {
    if (ch != ';') {
      return false;
    }
    Out.push_back(';');
    Now = State::Plain;
    return true;
  }

  State Now = State::Plain;
  int First = 0;  // the value of an escape's first digit
  std::string Out;
};

}  // namespace

std::string ParseTxText(std::string_view typed) {
  TxTextReader reader(typed.size());
  for (const char ch : typed) {
    if (!reader.Take(ch)) {
      break;
    }
  }
  return reader.Finish();
}

}  // namespace korvani::base
