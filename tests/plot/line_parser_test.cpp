// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the numbers in a board's lines: the formats, headers, junk and lines in pieces.
#include "plot/line_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvani::plot {
namespace {

using Samples = std::vector<Sample>;

TEST(LineParserTest, FindsTheNumbersOfEachFormat) {
  struct Case {
    const char* line;
    Samples found;
  };
  const Case cases[] = {
      // name:value pairs, separated by commas, spaces or tabs
      {"temp:21.4,press:1.02", {{"temp", 21.4}, {"press", 1.02}}},
      {"temp:21.4 press:1.02\r", {{"temp", 21.4}, {"press", 1.02}}},
      {"temp:21.4\tpress:-1e-3", {{"temp", 21.4}, {"press", -0.001}}},
      {"temp: 21.4, press: 1.02", {{"temp", 21.4}, {"press", 1.02}}},
      {"12:30:45 temp:21", {{"temp", 21}}},  // a time is no pair
      {"temp:21.4,state:ok,rpm:1200", {{"temp", 21.4}, {"rpm", 1200}}},
      {"temp:,press:nan,x:inf,y:0x1F", {}},
      {"T1:5 rh%:40 #q}x:7 3a:1", {{"T1", 5}, {"rh%", 40}}},  // a name starts with a letter
      // columns, named "1", "2", ... without a header
      {"21.4,1.02", {{"1", 21.4}, {"2", 1.02}}},
      {"21.4;1.02;-7", {{"1", 21.4}, {"2", 1.02}, {"3", -7}}},
      {"21.4\t\t3", {{"1", 21.4}, {"3", 3}}},           // an empty field keeps its place
      {"  21.4   1.02  ", {{"1", 21.4}, {"2", 1.02}}},  // runs of spaces are one cut
      {"21.4,abc,3", {{"1", 21.4}, {"3", 3}}},
      {"+5,.5,5.", {{"1", 5}, {"2", 0.5}, {"3", 5}}},
      // decimal commas, where semicolons or tabs cut the line
      {"21,5;22,3", {{"1", 21.5}, {"2", 22.3}}},
      {"21,5\t-0,25", {{"1", 21.5}, {"2", -0.25}}},
      {"temp:21,5;press:1,02", {{"temp", 21.5}, {"press", 1.02}}},
      {"1,234,5;2;,5", {{"2", 2}}},  // two commas, or none before it: no number
      {"1,2,3", {{"1", 1}, {"2", 2}, {"3", 3}}},
      // text without numbers
      {"Booting the board", {}},
      {"", {}},
      {"\r", {}},
      {"12abc 1.2.3 --", {}},
      {"Booting step 3 of 5", {}},  // cut at spaces, every field must be a number
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    LineParser parser;
    EXPECT_EQ(parser.ReadLine(c.line), c.found);
  }
}

TEST(LineParserTest, AHeaderLineNamesTheColumnsThatFollow) {
  struct Case {
    std::vector<const char*> lines;
    Samples last;  // what the last line gave
  };
  const Case cases[] = {
      {{"temp,press", "21.4,1.02"}, {{"temp", 21.4}, {"press", 1.02}}},
      {{"time;temp (C);rh %", "1;21.4;40"}, {{"time", 1}, {"temp (C)", 21.4}, {"rh %", 40}}},
      {{"a\tb", "1\t2\t3"}, {{"a", 1}, {"b", 2}, {"3", 3}}},                      // more columns than names
      {{"temp,press", "Booting the board", "1,2"}, {{"temp", 1}, {"press", 2}}},  // text keeps it
      {{"temp press", "1 2"}, {{"1", 1}, {"2", 2}}},  // words cut at spaces: only text
      {{"temp,3rd", "1,2"}, {{"1", 1}, {"2", 2}}},    // a name starts with a letter
      {{"a,b", "x,y", "1,2"}, {{"x", 1}, {"y", 2}}},  // a later header replaces it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines.front());
    LineParser parser;
    Samples last;
    for (const char* line : c.lines) {
      last = parser.ReadLine(line);
    }
    EXPECT_EQ(last, c.last);
  }
}

TEST(LineParserTest, ALineIsReadOnceItEndsInWhateverPiecesItCame) {
  LineParser parser;
  // What each line gave, as text: the names are valid only while it is read.
  std::vector<std::string> lines;
  const auto take = [&lines](const Samples& samples) {
    std::string line;
    for (const Sample& sample : samples) {
      line += std::string(sample.Name) + "=" + std::to_string(sample.Value) + " ";
    }
    lines.push_back(line);
  };
  parser.Feed("temp:2", take);
  EXPECT_TRUE(lines.empty());
  parser.Feed("1.4,press:1.0", take);
  parser.Feed("2\r\ntemp:22\nx", take);
  ASSERT_EQ(lines.size(), 2U);
  EXPECT_EQ(lines[0], "temp=21.400000 press=1.020000 ");
  EXPECT_EQ(lines[1], "temp=22.000000 ");

  // A line longer than the most kept: its first part is read, the rest passed over, and a
  // field the cut goes through is dropped, not read short.
  for (const std::size_t piece : {std::size_t{7}, std::size_t{1} << 20}) {
    lines.clear();
    parser.Reset();
    std::string bytes = "v:1," + std::string(LineParser::kLongestLine, ' ') + "w:2\nv:3\n";
    bytes += "u:1," + std::string(LineParser::kLongestLine - 10, 'x') + ",w:123456789\n";
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
      parser.Feed(std::string_view(bytes).substr(at, piece), take);
    }
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0], "v=1.000000 ");
    EXPECT_EQ(lines[1], "v=3.000000 ");
    EXPECT_EQ(lines[2], "u=1.000000 ");
  }

  // CR, LF and CR LF each end a line, a CR LF split between pieces too.
  lines.clear();
  parser.Reset();
  parser.Feed("a:1\ra:2\r", take);
  parser.Feed("\na:3\na:4\r\na:5\r", take);
  parser.Feed("a:6\n", take);
  ASSERT_EQ(lines.size(), 6U);
  EXPECT_EQ(lines[1], "a=2.000000 ");
  EXPECT_EQ(lines[5], "a=6.000000 ");
}

}  // namespace
}  // namespace korvani::plot
