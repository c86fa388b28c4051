// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/plot_data.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <string>

namespace korvani::plot {

void PlotData::Feed(std::string_view bytes, std::int64_t microseconds) {
  if (!Collecting) {
    return;
  }
  bool added = false;
  Parser.Feed(bytes, [&](const std::vector<Sample>& samples) {
    if (samples.empty()) {
      return;
    }
    if (!Origin) {
      Origin = microseconds;
    }
    const double time = std::max(static_cast<double>(microseconds - *Origin) / 1e6, Newest);
    for (const Sample& sample : samples) {
      if (Series* series = Find(sample.Name)) {
        series->Append(time, sample.Value);
      } else {
        ++Dropped;
      }
    }
    Newest = time;
    added = true;
  });
  if (added && Watcher) {
    Watcher();
  }
}

Series* PlotData::Find(std::string_view name) {
  for (const auto& series : Kept) {
    if (series->Name() == name) {
      return series.get();
    }
  }
  if (Kept.size() == kMaxSeries) {
    return nullptr;
  }
  return Kept.emplace_back(std::make_unique<Series>(std::string(name), Capacity)).get();
}

void PlotData::Clear() {
  Parser.Reset();
  Kept.clear();
  Origin.reset();
  Newest = 0;
  Dropped = 0;
  ++ClearCount;
}

double PlotData::OldestTime() const {
  double oldest = Newest;
  for (const auto& series : Kept) {
    if (series->Count() > 0) {
      oldest = std::min(oldest, series->At(0).Time);
    }
  }
  return oldest;
}

std::size_t PlotData::Bytes() const {
  std::size_t bytes = 0;
  for (const auto& series : Kept) {
    bytes += series->Bytes();
  }
  return bytes;
}

namespace {

void AppendNumber(std::string& text, double value) {
  std::array<char, 32> digits{};
  const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), value);
  text.append(digits.data(), error == std::errc() ? end : digits.data());
}

void AppendField(std::string& text, std::string_view field) {
  if (field.find_first_of(",\";\n") == std::string_view::npos) {
    text += field;
    return;
  }
  text += '"';
  for (const char c : field) {
    text += c;
    if (c == '"') {
      text += '"';
    }
  }
  text += '"';
}

}  // namespace

void WriteCsv(const PlotData& data, const std::function<void(std::string_view)>& write) {
  const auto& all = data.AllSeries();
  std::string text = "time (s)";
  for (const auto& series : all) {
    text += ',';
    AppendField(text, series->Name());
  }
  text += "\r\n";
  // A row per arrival time, merged across the series; a series with two points at one time
  // (two lines in one piece) gives a second row of that time.
  std::vector<std::size_t> next(all.size(), 0);
  for (;;) {
    double time = std::numeric_limits<double>::infinity();
    for (std::size_t s = 0; s < all.size(); ++s) {
      if (next[s] < all[s]->Count()) {
        time = std::min(time, all[s]->At(next[s]).Time);
      }
    }
    if (time == std::numeric_limits<double>::infinity()) {
      break;
    }
    std::array<char, 32> stamp{};
    const auto [end, error] =
        std::to_chars(stamp.data(), stamp.data() + stamp.size(), time, std::chars_format::fixed, 6);
    text.append(stamp.data(), error == std::errc() ? end : stamp.data());
    for (std::size_t s = 0; s < all.size(); ++s) {
      text += ',';
      if (next[s] < all[s]->Count() && all[s]->At(next[s]).Time == time) {
        AppendNumber(text, all[s]->At(next[s]++).Value);
      }
    }
    text += "\r\n";
    if (text.size() >= 1 << 20) {
      write(text);
      text.clear();
    }
  }
  write(text);
}

}  // namespace korvani::plot
