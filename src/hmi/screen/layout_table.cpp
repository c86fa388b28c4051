// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/screen/layout_table.h"

#include <span>

namespace korvani::hmi::screen {

namespace {

// Column counts up to and including LastColumn have Rows rows.
struct Band {
  std::int16_t LastColumn;
  std::int16_t Rows;
};

constexpr Band k4x3[] = {{5, 3},   {7, 4},   {8, 5},   {9, 6},   {11, 7},  {12, 8},  {14, 9},
                         {15, 10}, {17, 11}, {18, 12}, {21, 14}, {24, 15}, {26, 16}, {30, 18},
                         {34, 21}, {48, 23}, {60, 35}, {80, 47}, {110, 56}};

constexpr Band k3x2[] = {{6, 4},   {7, 5},   {8, 6},   {10, 7},  {11, 8},  {12, 9},  {13, 10}, {15, 11},
                         {16, 12}, {17, 13}, {20, 14}, {21, 16}, {22, 17}, {24, 18}, {29, 20}, {32, 22},
                         {34, 23}, {35, 32}, {40, 26}, {45, 30}, {53, 33}, {64, 39}, {80, 47}, {107, 61}};

// The layout's data has no entry for 23 columns; it takes the 20 rows of 24 and 25, which
// keeps the screen's proportion between its neighbours (19 rows at 22 columns).
constexpr Band k5x3[] = {{5, 4},   {6, 5},   {7, 6},   {8, 7},   {9, 8},   {11, 9},  {12, 10}, {13, 11},
                         {14, 12}, {16, 13}, {17, 15}, {19, 16}, {20, 17}, {21, 18}, {22, 19}, {25, 20},
                         {26, 22}, {28, 23}, {30, 24}, {32, 26}, {34, 27}, {36, 30}, {43, 32}, {48, 36},
                         {53, 38}, {60, 42}, {68, 48}, {80, 51}, {96, 60}, {110, 72}};

constexpr Band k16x9[] = {{6, 5},   {7, 6},   {8, 7},   {9, 8},   {10, 9},  {11, 10}, {12, 11}, {13, 12},
                          {14, 13}, {16, 14}, {17, 16}, {18, 17}, {20, 18}, {21, 19}, {22, 20}, {24, 21},
                          {25, 22}, {26, 24}, {30, 25}, {32, 28}, {34, 29}, {36, 32}, {43, 35}, {48, 38},
                          {53, 40}, {60, 45}, {68, 51}, {80, 55}, {96, 64}, {110, 77}};

void Load(LayoutTable& table, std::span<const Band> bands) {
  table.SetLayoutRows(-1, 0);
  std::int16_t column = 1;
  for (const Band& band : bands) {
    for (; column <= band.LastColumn; ++column) {
      table.SetLayoutRows(column, band.Rows);
    }
  }
}

}  // namespace

void LayoutTable::SetLayoutRows(std::int16_t columns, std::int16_t rows) {
  if (columns > kMaxLayoutColumns) {
    return;
  }
  if (columns == -1) {
    Rows.assign(1, 0);
    return;
  }
  if (columns < 0) {
    return;  // no table has a place below column 0
  }
  Rows.resize(static_cast<std::size_t>(columns) + 1, 0);
  Rows[static_cast<std::size_t>(columns)] = rows;
}

void Layout4x3(LayoutTable& table) {
  Load(table, k4x3);
}
void Layout3x2(LayoutTable& table) {
  Load(table, k3x2);
}
void Layout5x3(LayoutTable& table) {
  Load(table, k5x3);
}
void Layout16x9(LayoutTable& table) {
  Load(table, k16x9);
}

void LoadLayout(LayoutTable& table, Layout layout) {
  switch (layout) {
    case Layout::Ratio4x3:
      Layout4x3(table);
      break;
    case Layout::Ratio3x2:
      Layout3x2(table);
      break;
    case Layout::Ratio5x3:
      Layout5x3(table);
      break;
    case Layout::Ratio16x9:
      Layout16x9(table);
      break;
  }
}

std::string_view LayoutName(Layout layout) {
  switch (layout) {
    case Layout::Ratio4x3:
      return "4:3";
    case Layout::Ratio3x2:
      return "3:2";
    case Layout::Ratio5x3:
      return "5:3";
    case Layout::Ratio16x9:
      return "16:9";
  }
  return {};
}

}  // namespace korvani::hmi::screen
