// SPDX-License-Identifier: GPL-3.0-or-later
// The four screen layouts: for every width in columns, how many rows the screen has.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace korvani::hmi::screen {

inline constexpr std::int16_t kMaxLayoutColumns = 110;

enum class Layout { Ratio4x3, Ratio3x2, Ratio5x3, Ratio16x9 };

class LayoutTable {
 public:
  LayoutTable() = default;

  // Stores one entry: columns above 110 are ignored; -1 empties the table to the single
  // entry 0; otherwise the table ends at `columns` (entries between are 0).
  void SetLayoutRows(std::int16_t columns, std::int16_t rows);

  // The largest column count the table can show.
  [[nodiscard]] std::int16_t UpperBound() const { return static_cast<std::int16_t>(Rows.size() - 1); }
  // Rows for a column count from 0 to UpperBound().
  [[nodiscard]] std::int16_t RowsFor(std::int16_t columns) const {
    return Rows.at(static_cast<std::size_t>(columns));
  }

 private:
  std::vector<std::int16_t> Rows{0};
};

// Empties the table and loads the layout's entries for 1 column upward.
void LoadLayout(LayoutTable& table, Layout layout);
void Layout4x3(LayoutTable& table);
void Layout3x2(LayoutTable& table);
void Layout5x3(LayoutTable& table);
void Layout16x9(LayoutTable& table);

// "4:3", "3:2", "5:3", "16:9".
std::string_view LayoutName(Layout layout);

}  // namespace korvani::hmi::screen
