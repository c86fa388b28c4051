// SPDX-License-Identifier: GPL-3.0-or-later
// The numbers a board prints, found in its lines of text: "temp:21.4,press:1.02" (name:value
// pairs separated by commas, spaces or tabs, a name being a letter and then letters, digits
// and "_.-()[]%/"), or plain columns of numbers separated by semicolons, tabs, commas or
// spaces, named by a header line when one came first. In a line cut at semicolons or tabs,
// a comma between digits is a decimal comma ("21,5;22,3"). Cut at a
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
  // A line longer than this is cut there: its first part is read, the rest passed over, and
  // the field the cut went through is dropped (never read shortened).
  static constexpr std::size_t kLongestLine = 4096;

  // Bytes as they came; each line they end (at CR, LF or CR LF) is read, and its samples
  // handed to `take`. A line that ends within the bytes is read where it lies; only a line
  // begun is kept.
  template <typename Take>
  void Feed(std::string_view bytes, Take&& take) {
    if (AfterCr && !bytes.empty()) {
      AfterCr = false;
      if (bytes.front() == '\n') {
        bytes.remove_prefix(1);  // the LF of a CR LF split between pieces
      }
    }
    while (!bytes.empty()) {
      const std::size_t end = LineEnd(bytes);
      if (end == std::string_view::npos) {
        Keep(bytes);
        return;
      }
      const std::string_view part = bytes.substr(0, end);
      if (Pending.empty() && !Cut) {
        take(ReadLine(Fitted(part, part.size() > kLongestLine)));
      } else {
        Keep(part);
        take(ReadLine(Fitted(Pending, Cut)));
        Pending.clear();
        Cut = false;
      }
      const bool cr = bytes[end] == '\r';
      bytes.remove_prefix(end + 1);
      if (cr) {
        if (bytes.empty()) {
          AfterCr = true;
        } else if (bytes.front() == '\n') {
          bytes.remove_prefix(1);
        }
      }
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
  // Where the first line in the bytes ends: its CR or LF (npos: none yet).
  static std::size_t LineEnd(std::string_view bytes);
  // A line within the longest kept; one that was cut loses the field the cut went through.
  static std::string_view Fitted(std::string_view line, bool cut);
  void Keep(std::string_view part);
  void ReadPairs(std::string_view line);
  void ReadColumns(std::string_view line);
  void ReadHeader(std::string_view line, char separator);
  std::string_view ColumnName(std::size_t index);

  std::string Pending;
  bool Cut = false;      // the line begun was longer than the longest kept
  bool AfterCr = false;  // the last bytes ended with a CR, whose LF may come next
  std::vector<std::string> Header;
  std::deque<std::string> Numbers;  // "1", "2", ...: names of columns without a header (never move)
  std::vector<Sample> Found;        // the last line's samples
};

// A number as boards print it: an optional sign, digits with an optional point and an
// optional exponent ("21.4", "-3", "1e-3", ".5"), nothing else around it. False otherwise
// (an empty text, "nan", "inf", "12abc", "0x1F").
bool ReadNumber(std::string_view text, double& value);

}  // namespace korvani::plot
