// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/line_parser.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace korvani::plot {

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsSpace(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

// The fields of a line cut at `separator`, one at a time. Spaces: a run of them is one cut
// and no field is empty. A mark: each is a cut (commas keep an empty field's place).
class FieldReader {
 public:
  FieldReader(std::string_view line, char separator) : Line(line), Separator(separator) {}

  bool Next(std::string_view& field) {
    const bool merge = Separator == ' ';
    if (merge) {
      while (At < Line.size() && Line[At] == Separator) {
        ++At;
      }
    }
    if (At > Line.size() || (merge && At == Line.size())) {
      return false;
    }
    const std::size_t start = At;
    while (At < Line.size() && Line[At] != Separator) {
      ++At;
    }
    field = Trimmed(Line.substr(start, At - start));
    ++At;  // past the separator (or past the end)
    return true;
  }

 private:
  std::string_view Line;
  char Separator;
  std::size_t At = 0;
};

// A column's name in a header: a letter first, then letters, digits and a few marks.
bool IsName(std::string_view field) {
  if (field.empty() || std::isalpha(static_cast<unsigned char>(field.front())) == 0) {
    return false;
  }
  for (const char c : field) {
    if (std::isalnum(static_cast<unsigned char>(c)) == 0 &&
        std::string_view("_.-()[]%/ ").find(c) == std::string_view::npos) {
      return false;
    }
  }
  return true;
}

// What a byte may be: a digit, a mark a number may hold, the edge of a token, part of a name.
constexpr unsigned kDigit = 1;
constexpr unsigned kNumberMark = 2;
constexpr unsigned kEdge = 4;
constexpr unsigned kNamePart = 8;
constexpr std::array<std::uint8_t, 256> kByteKinds = [] {
  std::array<std::uint8_t, 256> kinds{};
  const auto mark = [&kinds](std::string_view bytes, unsigned kind) {
    for (const char c : bytes) {
      kinds[static_cast<unsigned char>(c)] |= static_cast<std::uint8_t>(kind);
    }
  };
  mark("0123456789", kDigit | kNamePart);
  mark("+-.eE", kNumberMark);
  mark(",; \t:", kEdge);
  mark("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_.-()[]%/ ", kNamePart);
  return kinds;
}();

// One look at each byte of a line, made without a branch (random bytes would defeat the
// prediction of any): whether it holds a token that may be a number (a run of digits and
// "+-.eE", with a digit, between the line's ends, separators and colons), and whether it may
// be a header (nothing but names and separators). Most text is neither, and is passed over.
struct LineLook {
  bool MayHoldNumber = false;
  bool MayBeHeader = false;
};

LineLook Look(std::string_view line) {
  unsigned found = 0;
  unsigned numeric = 1;  // the token so far
  unsigned digit = 0;
  unsigned names = 1;
  for (const char c : line) {
    const unsigned kind = kByteKinds[static_cast<unsigned char>(c)];
    const unsigned edge = (kind >> 2) & 1U;
    found |= edge & numeric & digit;
    numeric = edge | (numeric & static_cast<unsigned>((kind & (kDigit | kNumberMark)) != 0));
    digit = (edge ^ 1U) & (digit | (kind & kDigit));
    names &= static_cast<unsigned>((kind & (kEdge | kNamePart)) != 0);
  }
  return {(found | (numeric & digit)) != 0, names != 0};
}

// Columns are cut at semicolons, else tabs, else commas, else runs of spaces (a line cut
// at semicolons or tabs may write its decimals with a comma).
char ColumnSeparator(std::string_view line) {
  for (const char mark : {';', '\t', ','}) {
    if (line.find(mark) != std::string_view::npos) {
      return mark;
    }
  }
  return ' ';
}

// A number whose decimals follow a comma ("21,5"), in a line where commas cut no fields.
bool ReadDecimalComma(std::string_view text, double& value) {
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos || comma == 0 || comma + 1 == text.size() ||
      text.find(',', comma + 1) != std::string_view::npos ||
      std::isdigit(static_cast<unsigned char>(text[comma - 1])) == 0 ||
      std::isdigit(static_cast<unsigned char>(text[comma + 1])) == 0 || text.size() > 64) {
    return false;
  }
  std::array<char, 64> copy{};
  text.copy(copy.data(), text.size());
  copy[comma] = '.';
  return ReadNumber(std::string_view(copy.data(), text.size()), value);
}

}  // namespace

std::size_t LineParser::LineEnd(std::string_view bytes) {
  const std::size_t lf = bytes.find('\n');
  const std::size_t cr = bytes.substr(0, lf).find('\r');
  return cr != std::string_view::npos ? cr : lf;
}

std::string_view LineParser::Fitted(std::string_view line, bool cut) {
  if (!cut) {
    return line;
  }
  line = line.substr(0, kLongestLine);
  const std::size_t lastCut = line.find_last_of(",; \t");
  return line.substr(0, lastCut == std::string_view::npos ? 0 : lastCut);
}

void LineParser::Keep(std::string_view part) {
  const std::size_t room = kLongestLine - Pending.size();
  Pending.append(part.substr(0, room));
  Cut = Cut || part.size() > room;
}

bool ReadNumber(std::string_view text, double& value) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
  }
  if (text.empty() || (std::isdigit(static_cast<unsigned char>(text.front())) == 0 && text.front() != '-' &&
                       text.front() != '.')) {
    return false;  // "nan", "inf" and the like
  }
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::general);
  return error == std::errc() && stop == end && std::isfinite(value);
}

void LineParser::Reset() {
  Pending.clear();
  Cut = false;
  AfterCr = false;
  Header.clear();
  Found.clear();
}

const std::vector<Sample>& LineParser::ReadLine(std::string_view line) {
  Found.clear();
  line = Trimmed(line);
  const bool pairs = line.find(':') != std::string_view::npos;
  const LineLook look = Look(line);
  if (!look.MayHoldNumber) {
    if (!pairs && look.MayBeHeader && !line.empty()) {
      ReadHeader(line, ColumnSeparator(line));
    }
  } else if (pairs) {
    ReadPairs(line);
  } else {
    ReadColumns(line);
  }
  return Found;
}

// name:value pairs, separated by commas, spaces or tabs ("temp: 21.4" too). Read from colon
// to colon, so a line of text costs little more than the search for them.
void LineParser::ReadPairs(std::string_view line) {
  // With semicolons or tabs between the pairs, a comma is a value's decimal comma.
  const bool decimalComma = line.find_first_of(";\t") != std::string_view::npos;
  const auto separates = [decimalComma](char c) {
    return c == ' ' || c == '\t' || c == ';' || (c == ',' && !decimalComma);
  };
  const auto tokenEnd = [&](std::size_t at) {
    while (at < line.size() && !separates(line[at])) {
      ++at;
    }
    return at;
  };
  double value = 0;
  std::size_t at = 0;
  for (std::size_t colon = line.find(':'); colon != std::string_view::npos; colon = line.find(':', at)) {
    std::size_t start = colon;
    while (start > at && !separates(line[start - 1])) {
      --start;
    }
    std::size_t end = tokenEnd(colon + 1);
    std::string_view number = line.substr(colon + 1, end - colon - 1);
    if (start == colon) {
      at = end;  // no name
      continue;
    }
    if (number.empty()) {  // "temp: 21.4": the value is the next token
      std::size_t next = end;
      while (next < line.size() && separates(line[next])) {
        ++next;
      }
      end = tokenEnd(next);
      number = line.substr(next, end - next);
    }
    const std::string_view name = line.substr(start, colon - start);
    // "x7#q:5" in noise names no series
    if (IsName(name) && (ReadNumber(number, value) || (decimalComma && ReadDecimalComma(number, value)))) {
      Found.push_back({name, value});
    }
    at = end;
  }
}

void LineParser::ReadColumns(std::string_view line) {
  const char separator = ColumnSeparator(line);
  const bool marked = separator != ' ';  // cut at a mark, not at spaces
  FieldReader fields(line, separator);
  std::string_view field;
  double value = 0;
  const bool decimalComma = separator == ';' || separator == '\t';
  for (std::size_t count = 0; fields.Next(field); ++count) {
    if (ReadNumber(field, value) || (decimalComma && ReadDecimalComma(field, value))) {
      Found.push_back({ColumnName(count), value});
    } else if (!marked) {
      Found.clear();  // words with a number among them ("step 3 of 5") are text
      return;
    }
  }
  if (Found.empty()) {
    ReadHeader(line, separator);
  }
}

// A line of at least two names cut at marks names the columns that follow; a line of words
// cut at spaces is only text.
void LineParser::ReadHeader(std::string_view line, char separator) {
  if (separator == ' ') {
    return;
  }
  FieldReader fields(line, separator);
  std::string_view field;
  std::size_t count = 0;
  for (; fields.Next(field); ++count) {
    if (!IsName(field)) {
      return;
    }
  }
  if (count >= 2) {
    Header.clear();
    FieldReader again(line, separator);
    while (again.Next(field)) {
      Header.emplace_back(field);
    }
  }
}

std::string_view LineParser::ColumnName(std::size_t index) {
  if (index < Header.size()) {
    return Header[index];
  }
  while (Numbers.size() <= index) {
    Numbers.push_back(std::to_string(Numbers.size() + 1));
  }
  return Numbers[index];
}

}  // namespace korvani::plot
