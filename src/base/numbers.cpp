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

}  // namespace

double LenientNumber(std::string_view text) {
  std::string compact;
  compact.reserve(text.size());
  for (const char c : text) {
    if (!IsSkipped(c)) {
      compact.push_back(c);
    }
  }
  if (compact.size() >= 2 && compact[0] == '&' && (compact[1] == 'H' || compact[1] == 'h')) {
    return HexNumber(std::string_view(compact).substr(2));
  }

  // The longest prefix of the form [sign] digits [. digits] [(E|D) [sign] digits].
  std::string number;
  std::size_t i = 0;
  if (i < compact.size() && (compact[i] == '+' || compact[i] == '-')) {
    number.push_back(compact[i++]);
  }
  bool anyDigit = false;
  while (i < compact.size() && IsDigit(compact[i])) {
    number.push_back(compact[i++]);
    anyDigit = true;
  }
  if (i < compact.size() && compact[i] == '.') {
    number.push_back(compact[i++]);
    while (i < compact.size() && IsDigit(compact[i])) {
      number.push_back(compact[i++]);
      anyDigit = true;
    }
  }
  if (!anyDigit) {
    return 0.0;
  }
  if (i < compact.size() &&
      (compact[i] == 'E' || compact[i] == 'e' || compact[i] == 'D' || compact[i] == 'd')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < compact.size() && (compact[j] == '+' || compact[j] == '-')) {
      exponent.push_back(compact[j++]);
    }
    bool exponentDigit = false;
    while (j < compact.size() && IsDigit(compact[j])) {
      exponent.push_back(compact[j++]);
      exponentDigit = true;
    }
    if (exponentDigit) {
      number += exponent;
    }
  }
  // from_chars reads "." as the decimal point whatever the locale, and takes no "+".
  std::string_view digits = number;
  if (!digits.empty() && digits.front() == '+') {
    digits.remove_prefix(1);
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  (void)end;
  if (error != std::errc{} || !std::isfinite(value)) {
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

}  // namespace korvani::base
