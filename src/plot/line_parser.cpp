// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/line_parser.h"

#include <cctype>
#include <charconv>
#include <cmath>

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

// The line cut at every character of `separators`. With `merge` a run of them is one cut
// (spaces); without, each is (commas keep an empty field's place).
std::vector<std::string_view> Fields(std::string_view line, std::string_view separators, bool merge) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (std::size_t at = 0; at <= line.size(); ++at) {
    if (at == line.size() || separators.find(line[at]) != std::string_view::npos) {
      const std::string_view field = Trimmed(line.substr(start, at - start));
      if (!merge || !field.empty()) {
        fields.push_back(field);
      }
      start = at + 1;
    }
  }
  return fields;
}

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

}  // namespace

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
  Header.clear();
}

std::vector<Sample> LineParser::ReadLine(std::string_view line) {
  line = Trimmed(line);
  std::vector<Sample> samples;
  if (line.empty()) {
    return samples;
  }
  double value = 0;
  if (line.find(':') != std::string_view::npos) {
    // name:value pairs, separated by commas, spaces or tabs ("temp: 21.4" too).
    const std::vector<std::string_view> tokens = Fields(line, ", \t", true);
    for (std::size_t i = 0; i < tokens.size(); ++i) {
      const std::string_view token = tokens[i];
      const auto colon = token.find(':');
      if (colon == 0 || colon == std::string_view::npos) {
        continue;
      }
      std::string_view number = token.substr(colon + 1);
      if (number.empty() && i + 1 < tokens.size()) {
        number = tokens[++i];
      }
      if (ReadNumber(number, value)) {
        samples.push_back({std::string(token.substr(0, colon)), value});
      }
    }
    return samples;
  }
  // Columns: cut at commas, else semicolons, else tabs, else runs of spaces.
  std::vector<std::string_view> fields;
  bool marked = true;  // cut at a mark, not at spaces
  if (line.find(',') != std::string_view::npos) {
    fields = Fields(line, ",", false);
  } else if (line.find(';') != std::string_view::npos) {
    fields = Fields(line, ";", false);
  } else if (line.find('\t') != std::string_view::npos) {
    fields = Fields(line, "\t", false);
  } else {
    fields = Fields(line, " ", true);
    marked = false;
  }
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (ReadNumber(fields[i], value)) {
      samples.push_back({i < Header.size() ? Header[i] : std::to_string(i + 1), value});
    }
  }
  // A line of names and no numbers, cut at marks, names the columns that follow; a line of
  // words cut at spaces is only text.
  if (samples.empty() && marked && fields.size() >= 2) {
    bool names = true;
    for (const std::string_view field : fields) {
      names = names && IsName(field);
    }
    if (names) {
      Header.assign(fields.begin(), fields.end());
    }
  }
  return samples;
}

}  // namespace korvani::plot
