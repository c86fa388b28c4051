// SPDX-License-Identifier: GPL-3.0-or-later
// The plot's store: extremes of any stretch through the block summaries (also after the
// oldest points went), thinning to the columns in view, series from received lines, CSV.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "plot/plot_data.h"
#include "plot/series.h"
#include "plot/thinning.h"

namespace korvani::plot {
namespace {

// A series of `appended` random points in a store of 4096, so blocks and the wrap-around
// both come into play.
Series RandomSeries(std::size_t appended, unsigned seed) {
  Series series("s", Series::kLargeBlock);
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> value(-100, 100);
  for (std::size_t i = 0; i < appended; ++i) {
    series.Append(static_cast<double>(i) / 100, value(random));
  }
  return series;
}

TEST(SeriesTest, TheExtremesOfAnyStretchAreThoseOfItsPoints) {
  struct Case {
    std::size_t appended;
    std::size_t kept;
  };
  const Case cases[] = {{1, 1}, {63, 63}, {4096, 4096}, {4097, 4096}, {10000, 4096}, {4096 * 3 + 65, 4096}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.appended);
    const Series series = RandomSeries(c.appended, static_cast<unsigned>(c.appended));
    ASSERT_EQ(series.Count(), c.kept);
    std::mt19937 random(7);
    for (int trial = 0; trial < 300; ++trial) {
      std::size_t from = random() % c.kept;
      std::size_t to = from + 1 + random() % (c.kept - from);
      if (trial == 0) {
        from = 0, to = c.kept;
      }
      double least = series.At(from).Value;
      double greatest = least;
      for (std::size_t i = from; i < to; ++i) {
        least = std::min(least, series.At(i).Value);
        greatest = std::max(greatest, series.At(i).Value);
      }
      const Extremes extremes = series.Range(from, to);
      ASSERT_EQ(extremes.Least, least) << from << ".." << to;
      ASSERT_EQ(extremes.Greatest, greatest) << from << ".." << to;
    }
  }
  // The oldest kept point is the one appended kept points ago; times never go back.
  Series series("s", Series::kLargeBlock);
  for (int i = 0; i < 5000; ++i) {
    series.Append(i == 4999 ? 1.0 : i, i);
  }
  EXPECT_EQ(series.At(0), (Point{5000 - 4096, 5000 - 4096}));
  EXPECT_EQ(series.Last(), (Point{4998, 4999}));
  EXPECT_EQ(series.FirstAtOrAfter(4998), 4096u - 2);
}

TEST(ThinningTest, EachColumnKeepsItsExtremesAndTheLineReachesTheEdges) {
  struct Case {
    std::size_t appended;
    double from, to;
    int columns;
  };
  const Case cases[] = {
      {40, 0, 1, 100},          // fewer points than columns: all of them
      {4096, 10, 30, 50},       // about 40 a column, with a point before and after
      {100000, 0, 1000, 300},   // the whole of a wrapped series
      {100000, 990, 995, 100},  // a few points a column near the newest
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.appended);
    const Series series = RandomSeries(c.appended, 3);
    std::vector<Point> drawn;
    Thin(series, c.from, c.to, c.columns, drawn);
    ASSERT_FALSE(drawn.empty());
    EXPECT_LE(drawn.size(), static_cast<std::size_t>(c.columns) * 2 + 2);
    EXPECT_TRUE(std::is_sorted(drawn.begin(), drawn.end(),
                               [](const Point& a, const Point& b) { return a.Time < b.Time; }));
    const std::size_t first = series.FirstAtOrAfter(c.from);
    const std::size_t end = series.FirstAtOrAfter(std::nextafter(c.to, c.to + 1));
    if (first > 0) {
      EXPECT_EQ(drawn.front(), series.At(first - 1));
    }
    if (end < series.Count()) {
      EXPECT_EQ(drawn.back(), series.At(end));
    }
    // Every column's least and greatest value is drawn within that column.
    const double width = (c.to - c.from) / c.columns;
    for (int column = 0; column < c.columns; ++column) {
      const double start = c.from + width * column;
      const double stop = column + 1 == c.columns ? c.to : c.from + width * (column + 1);
      double least = 1e9;
      double greatest = -1e9;
      double drawnLeast = 1e9;
      double drawnGreatest = -1e9;
      for (std::size_t i = first; i < end; ++i) {
        const Point p = series.At(i);
        if (p.Time >= start && (p.Time < stop || (column + 1 == c.columns && p.Time <= stop))) {
          least = std::min(least, p.Value);
          greatest = std::max(greatest, p.Value);
        }
      }
      for (const Point& p : drawn) {
        if (p.Time >= start && (p.Time < stop || (column + 1 == c.columns && p.Time <= stop))) {
          drawnLeast = std::min(drawnLeast, p.Value);
          drawnGreatest = std::max(drawnGreatest, p.Value);
        }
      }
      ASSERT_EQ(drawnLeast, least) << column;
      ASSERT_EQ(drawnGreatest, greatest) << column;
    }
  }
}

TEST(PlotDataTest, LinesBecomeSeriesAtTheirArrivalTimes) {
  PlotData data(Series::kLargeBlock);
  data.Feed("boot\r\ntemp:21.3\r\ntemp:21.4,pre", 5'000'000);  // the first number is time 0
  data.Feed("ss:1.02\r\ntemp:21.5\r\n", 5'250'000);
  data.Feed("temp:21", 5'500'000);  // not ended yet
  ASSERT_EQ(data.AllSeries().size(), 2u);
  const Series& temp = *data.AllSeries()[0];
  const Series& press = *data.AllSeries()[1];
  EXPECT_EQ(temp.Name(), "temp");
  EXPECT_EQ(press.Name(), "press");
  EXPECT_EQ(temp.Count(), 3u);
  EXPECT_EQ(temp.Last(), (Point{0.25, 21.5}));
  EXPECT_EQ(press.Last(), (Point{0.25, 1.02}));
  EXPECT_EQ(data.NewestTime(), 0.25);
  EXPECT_EQ(data.OldestTime(), 0);

  std::string csv;
  WriteCsv(data, [&](std::string_view text) { csv += text; });
  EXPECT_EQ(csv, "time (s),temp,press\r\n0.000000,21.3,\r\n0.250000,21.4,1.02\r\n0.250000,21.5,\r\n");

  // Past the 16th name, values are passed over and counted.
  std::string many;
  for (int i = 0; i < 20; ++i) {
    many += "v" + std::to_string(i) + ":" + std::to_string(i) + " ";
  }
  data.Feed("\n" + many + "\n", 6'000'000);
  EXPECT_EQ(data.AllSeries().size(), PlotData::kMaxSeries);
  EXPECT_EQ(data.PassedOver(), 6u);

  const auto before = data.Clears();
  data.Clear();
  EXPECT_NE(data.Clears(), before);
  EXPECT_TRUE(data.AllSeries().empty());
  data.Feed("1,2\n", 9'000'000);
  EXPECT_EQ(data.AllSeries()[0]->Last(), (Point{0, 1}));
}

}  // namespace
}  // namespace korvani::plot
