// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/screen/text_cells.h"

#include <algorithm>

namespace korvani::hmi::screen {

void TextCells::Reset(int rows, int columns, Colour fore) {
  RowCount = std::max(rows, 0);
  ColumnCount = std::max(columns, 0);
  const auto cells = static_cast<std::size_t>(RowCount) * static_cast<std::size_t>(ColumnCount);
  Glyphs.assign(cells, ' ');
  Fores.assign(cells, fore);
}

void TextCells::Put(int row, int column, std::string_view shown, Colour fore) {
  if (row < 0 || row >= RowCount) {
    return;
  }
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const long long at = static_cast<long long>(column) + static_cast<long long>(i);
    if (at >= ColumnCount) {
      return;
    }
    if (at >= 0) {
      const auto cell = static_cast<std::size_t>(row) * static_cast<std::size_t>(ColumnCount) +
                        static_cast<std::size_t>(at);
      Glyphs[cell] = shown[i];
      Fores[cell] = fore;
    }
  }
}

std::optional<std::string> TextCells::Row(int row) const {
  if (row < 0 || row >= RowCount) {
    return std::nullopt;
  }
  return Glyphs.substr(static_cast<std::size_t>(row) * static_cast<std::size_t>(ColumnCount),
                       static_cast<std::size_t>(ColumnCount));
}

std::optional<Colour> TextCells::ForeAt(int row, int column) const {
  if (row < 0 || row >= RowCount || column < 0 || column >= ColumnCount) {
    return std::nullopt;
  }
  return Fores[static_cast<std::size_t>(row) * static_cast<std::size_t>(ColumnCount) +
               static_cast<std::size_t>(column)];
}

std::optional<std::pair<int, int>> TextCells::Find(std::string_view text) const {
  if (text.empty()) {
    return std::nullopt;
  }
  for (int row = 0; row < RowCount; ++row) {
    const std::string_view line =
        std::string_view(Glyphs).substr(static_cast<std::size_t>(row) * static_cast<std::size_t>(ColumnCount),
                                        static_cast<std::size_t>(ColumnCount));
    if (const std::size_t at = line.find(text); at != std::string_view::npos) {
      return std::pair<int, int>(row, static_cast<int>(at));
    }
  }
  return std::nullopt;
}

}  // namespace korvani::hmi::screen
