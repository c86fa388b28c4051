// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/numbers.h"

#include <stdexcept>

#include "base/text.h"

#include <charconv>
#include <limits>
#include <string>

namespace korvani::base {

namespace {

bool IsSkipped(char c) {
  return c == ' ' || c == '\t' || c == '\n';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

double HexNumber(std::string_view digits) {
  std::uint64_t value = 0;
  std::size_t count = 0;
  for (const char c : digits) {
    const int digit = HexDigitValue(c);
    if (digit < 0) {
      break;
    }
    value = value * 16 + static_cast<std::uint64_t>(digit);
    ++count;
    if (count == 16) {
      break;
    }
  }
  if (count <= 4) {
    return static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(value)));
  }
  if (count <= 8) {
    return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
  }
  return static_cast<double>(value);
}

// Whatever the reading skips: blanks, tabs and line feeds, wherever they are.
std::string WithoutSkipped(std::string_view text) {
  std::string compact;
  compact.reserve(text.size());
  for (const char c : text) {
    if (!IsSkipped(c)) {
      compact.push_back(c);
    }
  }
  return compact;
}

// The digits from `at` on, appended to `out`; true when there was one.
bool TakeDigits(std::string_view text, std::size_t& at, std::string& out) {
  const std::size_t from = at;
  while (at < text.size() && IsDigit(text[at])) {
    out.push_back(text[at++]);
  }
  return at > from;
}

// The longest leading decimal number, [sign] digits [. digits] [(E|D) [sign] digits], in the
// form from_chars reads; empty when there is no digit before the exponent.
std::string LeadingDecimal(std::string_view text) {
  std::string number;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    number.push_back(text[i++]);
  }
  bool anyDigit = TakeDigits(text, i, number);
  if (i < text.size() && text[i] == '.') {
    number.push_back(text[i++]);
    anyDigit = TakeDigits(text, i, number) || anyDigit;
  }
  if (!anyDigit) {
    return {};
  }
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
      exponent.push_back(text[j++]);
    }
    if (TakeDigits(text, j, exponent)) {
      number += exponent;  // an exponent without digits is not part of the number
    }
  }
  return number;
}

}  // namespace

double LenientNumber(std::string_view text) {
  const std::string compact = WithoutSkipped(text);
  if (compact.size() >= 2 && compact[0] == '&' && (compact[1] == 'H' || compact[1] == 'h')) {
    return HexNumber(std::string_view(compact).substr(2));
  }
  const std::string number = LeadingDecimal(compact);
  // from_chars reads "." as the decimal point whatever the locale, and takes no "+".
  std::string_view digits = number;
  if (!digits.empty() && digits.front() == '+') {
    digits.remove_prefix(1);
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  (void)end;
  if (digits.empty() || error != std::errc{} || !std::isfinite(value)) {
    return 0.0;
  }
  return value;
}

std::int32_t WholeNumber(double value) {
  const double rounded = RoundHalfEven(value);
  if (!(rounded > std::numeric_limits<std::int32_t>::min())) {
    return std::numeric_limits<std::int32_t>::min();
  }
  if (rounded >= std::numeric_limits<std::int32_t>::max()) {
    return std::numeric_limits<std::int32_t>::max();
  }
  return static_cast<std::int32_t>(rounded);
}

bool FitsInt16(double value) {
  const double rounded = RoundHalfEven(value);
  return rounded >= std::numeric_limits<std::int16_t>::min() &&
         rounded <= std::numeric_limits<std::int16_t>::max();
}

std::int16_t ToInt16(double value, const char* what) {
  if (!FitsInt16(value)) {
    throw std::out_of_range(what);
  }
  return static_cast<std::int16_t>(WholeNumber(value));
}

std::optional<std::int64_t> StrictWholeNumber(std::string_view text, std::int64_t lowest,
                                              std::int64_t highest) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
    text.remove_suffix(1);
  }
  if (text.empty() || text.size() > 18) {
    return std::nullopt;
  }
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    value = value * 10 + (c - '0');
  }
  if (value < lowest || value > highest) {
    return std::nullopt;
  }
  return value;
}

}  // namespace korvani::base
