// SPDX-License-Identifier: GPL-3.0-or-later
// The numbers a board prints, found in its lines of text: "temp:21.4,press:1.02" (name:value
// pairs separated by commas, spaces or tabs), or plain columns of numbers separated by
// commas, semicolons, spaces or tabs, named by a header line when one came first. Lines
// without numbers are passed over. Bytes come in any pieces; a line is read once it ends.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvani::plot {

// One value of one series.
struct Sample {
  std::string Name;
  double Value = 0;
  bool operator==(const Sample&) const = default;
};

class LineParser {
 public:
  // A line longer than this is cut there: its first part is read, the rest passed over.
  static constexpr std::size_t kLongestLine = 4096;

  // Bytes as they came; each line they end is read, and its samples handed to `take`.
  template <typename Take>
  void Feed(std::string_view bytes, Take&& take) {
    for (const char c : bytes) {
      if (c == '\n') {
        take(ReadLine(Pending));
        Pending.clear();
      } else if (Pending.size() < kLongestLine) {
        Pending.push_back(c);
      }
    }
  }

  // One whole line (without its line feed; a CR at its end is ignored).
  std::vector<Sample> ReadLine(std::string_view line);

  // Forgets a header and a line begun (the plot was cleared).
  void Reset();

  // The names a header line gave the columns (empty: columns are "1", "2", ...).
  [[nodiscard]] const std::vector<std::string>& ColumnNames() const { return Header; }

 private:
  std::string Pending;
  std::vector<std::string> Header;
};

// A number as boards print it: an optional sign, digits with an optional point and an
// optional exponent ("21.4", "-3", "1e-3", ".5"), nothing else around it. False otherwise
// (an empty text, "nan", "inf", "12abc", "0x1F").
bool ReadNumber(std::string_view text, double& value);

}  // namespace korvani::plot
