// SPDX-License-Identifier: GPL-3.0-or-later
// What the screen shows as characters: a cell per row and column with its character and its
// colour, kept beside the drawing so a script reads the screen (and a screen with no window
// still has one). Rows and columns count from 0 here.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "hmi/screen/drawing_surface.h"

namespace korvani::hmi::screen {

class TextCells {
 public:
  // Blank cells in the colour given, for a screen of that size.
  void Reset(int rows, int columns, Colour fore);
  // Text as drawn from a cell on: what runs past the row's end is not kept.
  void Put(int row, int column, std::string_view shown, Colour fore);
  [[nodiscard]] int Rows() const { return RowCount; }
  [[nodiscard]] int Columns() const { return ColumnCount; }
  [[nodiscard]] std::optional<std::string> Row(int row) const;
  [[nodiscard]] std::optional<Colour> ForeAt(int row, int column) const;
  // The first row and column where the text shows, row by row.
  [[nodiscard]] std::optional<std::pair<int, int>> Find(std::string_view text) const;

 private:
  int RowCount = 0;
  int ColumnCount = 0;
  std::string Glyphs;         // row after row
  std::vector<Colour> Fores;  // the same
};

}  // namespace korvani::hmi::screen
