// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/screen/layout_table.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace korvani::hmi::screen {
namespace {

// The layouts as their designers wrote them down: "first-last -> rows" or "column -> rows".
// 23 columns of 5:3 were left out there; this program gives them 20 rows.
struct LayoutCase {
  Layout Which;
  std::int16_t LastColumn;
  const char* Bands;
};

std::ostream& operator<<(std::ostream& out, const LayoutCase& c) {
  return out << LayoutName(c.Which);
}

const LayoutCase kLayouts[] = {
    {Layout::Ratio4x3, 110,
     "1-5 3; 6-7 4; 8 5; 9 6; 10-11 7; 12 8; 13-14 9; 15 10; 16-17 11; 18 12; 19-21 14; 22-24 15; "
     "25-26 16; 27-30 18; 31-34 21; 35-48 23; 49-60 35; 61-80 47; 81-110 56"},
    {Layout::Ratio3x2, 107,
     "1-6 4; 7 5; 8 6; 9-10 7; 11 8; 12 9; 13 10; 14-15 11; 16 12; 17 13; 18-20 14; 21 16; 22 17; "
     "23-24 18; 25-29 20; 30-32 22; 33-34 23; 35 32; 36-40 26; 41-45 30; 46-53 33; 54-64 39; "
     "65-80 47; 81-107 61"},
    {Layout::Ratio5x3, 110,
     "1-5 4; 6 5; 7 6; 8 7; 9 8; 10-11 9; 12 10; 13 11; 14 12; 15-16 13; 17 15; 18-19 16; 20 17; "
     "21 18; 22 19; 23 20; 24-25 20; 26 22; 27-28 23; 29-30 24; 31-32 26; 33-34 27; 35-36 30; "
     "37-43 32; 44-48 36; 49-53 38; 54-60 42; 61-68 48; 69-80 51; 81-96 60; 97-110 72"},
    {Layout::Ratio16x9, 110,
     "1-6 5; 7 6; 8 7; 9 8; 10 9; 11 10; 12 11; 13 12; 14 13; 15-16 14; 17 16; 18 17; 19-20 18; "
     "21 19; 22 20; 23-24 21; 25 22; 26 24; 27-30 25; 31-32 28; 33-34 29; 35-36 32; 37-43 35; "
     "44-48 38; 49-53 40; 54-60 45; 61-68 51; 69-80 55; 81-96 64; 97-110 77"},
};

class LayoutTableTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTableTest, EveryColumnCountHasItsRows) {
  LayoutTable table;
  Layout4x3(table);  // whatever was loaded before is forgotten
  LoadLayout(table, GetParam().Which);
  ASSERT_EQ(table.UpperBound(), GetParam().LastColumn);
  EXPECT_EQ(table.RowsFor(0), 0);

  std::istringstream bands(GetParam().Bands);
  std::string band;
  int expectedNext = 1;
  while (std::getline(bands, band, ';')) {
    int first = 0;
    int last = 0;
    int rows = 0;
    if (std::sscanf(band.c_str(), " %d-%d %d", &first, &last, &rows) != 3) {
      ASSERT_EQ(std::sscanf(band.c_str(), " %d %d", &first, &rows), 2) << band;
      last = first;
    }
    ASSERT_EQ(first, expectedNext) << band;
    for (int column = first; column <= last; ++column) {
      EXPECT_EQ(table.RowsFor(static_cast<std::int16_t>(column)), rows) << "column " << column;
    }
    expectedNext = last + 1;
  }
  EXPECT_EQ(expectedNext, GetParam().LastColumn + 1);
}

INSTANTIATE_TEST_SUITE_P(Layouts, LayoutTableTest, ::testing::ValuesIn(kLayouts), [](const auto& paramInfo) {
  std::string name(LayoutName(paramInfo.param.Which));
  name[name.find(':')] = 'x';
  return "Ratio" + name;
});

TEST(LayoutTableTest, FortyColumnsInEachLayout) {
  LayoutTable table;
  const std::pair<Layout, int> expected[] = {
      {Layout::Ratio4x3, 23}, {Layout::Ratio3x2, 26}, {Layout::Ratio5x3, 32}, {Layout::Ratio16x9, 35}};
  for (const auto& [layout, rows] : expected) {
    LoadLayout(table, layout);
    EXPECT_EQ(table.RowsFor(40), rows) << LayoutName(layout);
  }
}

TEST(LayoutTableTest, SetLayoutRowsRules) {
  LayoutTable table;
  table.SetLayoutRows(5, 9);
  EXPECT_EQ(table.UpperBound(), 5);
  EXPECT_EQ(table.RowsFor(3), 0);  // entries in between are 0
  EXPECT_EQ(table.RowsFor(5), 9);
  table.SetLayoutRows(111, 1);  // beyond any layout: ignored
  EXPECT_EQ(table.UpperBound(), 5);
  table.SetLayoutRows(2, 4);  // the table now ends at 2
  EXPECT_EQ(table.UpperBound(), 2);
  table.SetLayoutRows(-1, 7);
  EXPECT_EQ(table.UpperBound(), 0);
  EXPECT_EQ(table.RowsFor(0), 0);
}

}  // namespace
}  // namespace korvani::hmi::screen
