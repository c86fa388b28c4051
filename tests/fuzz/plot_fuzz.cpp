// SPDX-License-Identifier: GPL-3.0-or-later
// The plot on any received bytes: cut into pieces at the fuzzer's choosing, read for numbers,
// kept, and written out as CSV. Every CSV row has a field per series and the time, and every
// value kept is a finite number.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "plot/plot_data.h"

namespace {

// Fields in one CSV row, quoted fields counted once.
std::size_t Fields(std::string_view row) {
  std::size_t fields = 1;
  bool quoted = false;
  for (const char c : row) {
    if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      ++fields;
    }
  }
  return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) {
    return 0;
  }
  korvani::plot::PlotData plot(4096);          // the fewest a series holds
  const std::size_t piece = data[0] % 64 + 1;  // how the line is cut into chunks
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::int64_t microseconds = 0;
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    plot.Feed(bytes.substr(at, piece), microseconds);
    microseconds += 1000;
  }
  for (const auto& series : plot.AllSeries()) {
    for (std::size_t i = 0; i < series->Count(); ++i) {
      if (!std::isfinite(series->At(i).Value)) {
        std::abort();
      }
    }
  }
  std::string csv;
  korvani::plot::WriteCsv(plot, [&csv](std::string_view text) { csv += text; });
  const std::size_t columns = plot.AllSeries().size() + 1;
  // Rows end in CR LF; a name may hold neither (names are cut at line ends).
  for (std::size_t start = 0; start < csv.size();) {
    const std::size_t end = csv.find("\r\n", start);
    if (end == std::string::npos || Fields(std::string_view(csv).substr(start, end - start)) != columns) {
      std::abort();
    }
    start = end + 2;
  }
  return 0;
}
