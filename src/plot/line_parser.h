// SPDX-License-Identifier: GPL-3.0-or-later
// The numbers a board prints, found in its lines of text: "temp:21.4,press:1.02" (name:value
// pairs separated by commas, spaces or tabs, a name being a letter and then letters, digits
// and "_.-()[]%/"), or plain columns of numbers separated by
// commas, semicolons, spaces or tabs, named by a header line when one came first. Cut at a
// mark, a field that is no number is passed over ("21.4,OK,3"); cut at spaces, the line is
// numbers only, so text with a number in it ("step 3 of 5") plots nothing. Lines without
// numbers are passed over. Bytes come in any pieces; a line is read once it ends.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace korvani::plot {

// One value of one series. The name is valid until the next line is read.
struct Sample {
  std::string_view Name;
  double Value = 0;
  bool operator==(const Sample&) const = default;
};

class LineParser {
 public:
  // A line longer than this is cut there: its first part is read, the rest passed over.
  static constexpr std::size_t kLongestLine = 4096;

  // Bytes as they came; each line they end is read, and its samples handed to `take`. A line
  // that ends within the bytes is read where it lies; only a line begun is kept.
  template <typename Take>
  void Feed(std::string_view bytes, Take&& take) {
    while (!bytes.empty()) {
      const std::size_t end = bytes.find('\n');
      const std::string_view part = bytes.substr(0, end);
      const std::size_t room = kLongestLine - Pending.size();
      if (end == std::string_view::npos) {
        Pending.append(part.substr(0, room));
        return;
      }
      if (Pending.empty()) {
        take(ReadLine(part.substr(0, kLongestLine)));
      } else {
        Pending.append(part.substr(0, room));
        take(ReadLine(Pending));
        Pending.clear();
      }
      bytes.remove_prefix(end + 1);
    }
  }

  // One whole line (without its line feed; a CR at its end is ignored). What it gives is
  // valid until the next line is read.
  const std::vector<Sample>& ReadLine(std::string_view line);

  // Forgets a header and a line begun (the plot was cleared).
  void Reset();

  // The names a header line gave the columns (empty: columns are "1", "2", ...).
  [[nodiscard]] const std::vector<std::string>& ColumnNames() const { return Header; }

 private:
  void ReadPairs(std::string_view line);
  void ReadColumns(std::string_view line);
  void ReadHeader(std::string_view line, char separator);
  std::string_view ColumnName(std::size_t index);

  std::string Pending;
  std::vector<std::string> Header;
  std::deque<std::string> Numbers;  // "1", "2", ...: names of columns without a header (never move)
  std::vector<Sample> Found;        // the last line's samples
};

// A number as boards print it: an optional sign, digits with an optional point and an
// optional exponent ("21.4", "-3", "1e-3", ".5"), nothing else around it. False otherwise
// (an empty text, "nan", "inf", "12abc", "0x1F").
bool ReadNumber(std::string_view text, double& value);

}  // namespace korvani::plot
