// SPDX-License-Identifier: GPL-3.0-or-later
// The hex notation on any text: typed lines and received data. What the ASCII view shows,
// typed back, gives the received bytes again, unless they held an apostrophe or a semicolon.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/hex_notation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  (void)korvani::base::ParseTxText(text);
  (void)korvani::base::HexToAsciiString(text);

  const std::string shown = korvani::base::AsciiToDisplay(text);
  if (text.find_first_of("';") == std::string::npos && korvani::base::ParseTxText(shown) != text) {
    std::abort();
  }
  return 0;
}
