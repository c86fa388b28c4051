// SPDX-License-Identifier: GPL-3.0-or-later
// Six saved colour pairs, top first. Pushing loses the bottom pair; popping duplicates it,
// so the stack never runs dry.
#pragma once

#include <array>

#include "hmi/screen/drawing_surface.h"

namespace korvani::hmi::screen {

struct ColourPair {
  Colour Fore = 0;
  Colour Back = 0;
  bool operator==(const ColourPair&) const = default;
};

class ColourStack {
 public:
  static constexpr std::size_t kDepth = 6;

  void Reset(ColourPair pair) { Entries.fill(pair); }
  void Push(ColourPair pair) {
    for (std::size_t i = kDepth - 1; i > 0; --i) {
      Entries[i] = Entries[i - 1];
    }
    Entries[0] = pair;
  }
  // Drops the top entry and returns the new top.
  ColourPair Pop() {
    for (std::size_t i = 0; i + 1 < kDepth; ++i) {
      Entries[i] = Entries[i + 1];
    }
    return Entries[0];
  }
  [[nodiscard]] const std::array<ColourPair, kDepth>& Pairs() const { return Entries; }

 private:
  std::array<ColourPair, kDepth> Entries{};
};

}  // namespace korvani::hmi::screen
