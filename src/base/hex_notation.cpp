#include "base/hex_notation.h"

#include "base/text.h"

namespace korvani::base {

namespace {

char ByteChar(int code) {
  return static_cast<char>(static_cast<unsigned char>(code));
}

}  // namespace

void AppendAsciiToDisplay(std::string& out, std::string_view text) {
  // Shown as they are: LF, CR and 32 to 127. Runs of them are copied whole.
  const auto shown = [](char ch) {
    const auto code = static_cast<unsigned char>(ch);
    return code == 10 || code == 13 || (code >= 32 && code <= 127);
  };
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = at;
    while (end < text.size() && shown(text[end])) {
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

std::string ParseTxText(std::string_view typed) {
  enum class State { Plain, Quote, Digit1, Escaped, Semi };
  State state = State::Plain;
  int first = 0;  // value of the first digit of an escape
  std::string out;
  out.reserve(typed.size());

  for (const char ch : typed) {
    const int digit = base::HexDigitValue(ch);
    switch (state) {
      case State::Plain:
        if (ch == '\'') {
          state = State::Quote;
        } else if (ch == ';') {
          state = State::Semi;
        } else {
          out.push_back(ch);
        }
        break;
      case State::Quote:
        if (digit >= 0) {
          first = digit;
          state = State::Digit1;
        } else {
          out.push_back('\'');
          if (ch != '\'') {
            out.push_back(ch);
          }
          state = State::Plain;
        }
        break;
      case State::Digit1:
        if (digit >= 0) {
          out.push_back(ByteChar(first * 16 + digit));
          state = State::Escaped;
          break;
        }
        out.push_back(ByteChar(first));
        if (ch == '\'') {
          state = State::Quote;
        } else if (ch == ';') {
          state = State::Semi;
        } else {
          if (ch != ' ') {
            out.push_back(ch);
          }
          state = State::Plain;
        }
        break;
      case State::Escaped:
        if (ch == '\'') {
          state = State::Quote;
        } else {
          if (ch != ' ') {
            out.push_back(ch);
          }
          state = State::Plain;
        }
        break;
      case State::Semi:
        if (ch != ';') {
          return out;
        }
        out.push_back(';');
        state = State::Plain;
        break;
    }
  }
  if (state == State::Quote) {
    out.push_back('\'');
  } else if (state == State::Digit1) {
    out.push_back(ByteChar(first));
  }
  return out;
}

}  // namespace korvani::base
