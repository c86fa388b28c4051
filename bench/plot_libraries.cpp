// SPDX-License-Identifier: GPL-3.0-or-later
// plot_libraries: the cost of a plot frame in QCustomPlot and in Qt Charts, 16 series in a
// 1000x600 widget with a legend. One library and case per process, so the peak RSS is theirs.
//
//   thinned  each frame every series is replaced by 2,000 points (a min/max pair per column)
//   raw10s   every series keeps its last 10,000 points; 16 come in and 16 go out each frame
//   raw1m    every series holds 1,000,000 points; only redrawn
//
// A frame: change the data, ask the library to redraw, processEvents(). QCustomPlot paints in
// replot(rpImmediateRefresh); Qt Charts in processEvents(), once a series change or
// viewport()->update() asked for it (QChartView::repaint() does not paint the chart, and
// viewport()->repaint() paints it twice when a series changed). Paints are counted to be sure.
//
// Usage: plot_libraries --lib qcustomplot|qtcharts --case thinned|raw10s|raw1m [--frames N]
//        [--aa on|off] [--append: Qt Charts raw10s by append() and removePoints(), not replace()]
#include <qcustomplot.h>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

namespace {

constexpr int kSeries = 16;
constexpr int kColumns = 1000;  // thinned: one min/max pair per pixel column
constexpr int kVariants = 16;   // thinned: frames of data made up front, used in turn
constexpr int kLinesPerSecond = 1000;
constexpr int kWindowPoints = 10'000;  // raw10s: 10 s of lines
constexpr int kPointsPerFrame = 16;    // raw10s: lines that arrive between two frames
constexpr int kBigPoints = 1'000'000;
constexpr double kMaxMeasuredSeconds = 30;  // fewer frames when they are slow
constexpr double kGiveUpSetupSeconds = 60;
constexpr double kGiveUpFrameSeconds = 5;
constexpr double kYFrom = -5, kYTo = 21;

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point at) {
  return std::chrono::duration<double>(Clock::now() - at).count();
}

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double PeakRssMb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024;
  }
  return 0;
}

// Repeatable noise in [-1, 1).
double Noise(std::uint64_t n) {
  n = (n ^ (n >> 31)) * 0x7fb5d329728ea185ULL;
  n = (n ^ (n >> 27)) * 0x81dadef4bc2dd44dULL;
  return static_cast<double>((n ^ (n >> 33)) >> 11) * 0x1p-52 - 1;
}

// Line `n` of series `series`: a slow sine of its own, the series spread over the y range.
QPointF RawPoint(int series, std::int64_t n) {
  const double wave = 4 * std::sin(2 * M_PI * static_cast<double>(n) / (2000 + 300 * series));
  const double y = series + wave + 0.3 * Noise(static_cast<std::uint64_t>(n * kSeries + series));
  return {static_cast<double>(n) / kLinesPerSecond, y};
}

QList<QPointF> ThinnedPoints(int series, int variant) {
  QList<QPointF> points;
  for (int column = 0; column < kColumns; ++column) {
    const double centre = series + 4 * std::sin(2 * M_PI * (column + 7 * variant + 40 * series) / 400.0);
    const double spread = 0.2 + 0.3 * std::abs(Noise((variant * kSeries + series) * kColumns + column));
    points.append({{1.0 * column, centre - spread}, {1.0 * column, centre + spread}});
  }
  return points;
}

QColor Colour(int series) {
  return QColor::fromHsv(series * 360 / kSeries, 255, series % 2 ? 160 : 230);
}

// One library's plot. Counts the paint events of the widget it draws the series on.
class Plot : public QObject {
 public:
  QWidget* Widget = nullptr;
  int Paints = 0;
  bool eventFilter(QObject* watched, QEvent* event) override {
    Paints += event->type() == QEvent::Paint;
    return QObject::eventFilter(watched, event);
  }
  virtual void SetXRange(double from, double to) = 0;
  virtual void Replace(int series, const QList<QPointF>& points) = 0;
  // Appends `added` and drops as many points off the front, the ones before `keepFrom`.
  virtual void Slide(int series, const QList<QPointF>& added, double keepFrom) = 0;
  virtual void Redraw() = 0;
};

class CustomPlot : public Plot {
 public:
  explicit CustomPlot(bool antialiased) {
    for (int series = 0; series < kSeries; ++series) {
      QCPGraph* graph = View.addGraph();
      graph->setPen(QPen(Colour(series), 1));
      graph->setName(QString("series %1").arg(series + 1));
      graph->setAdaptiveSampling(true);
      graph->setAntialiased(antialiased);
    }
    View.legend->setVisible(true);
    View.yAxis->setRange(kYFrom, kYTo);
    Widget = &View;
    View.installEventFilter(this);
  }
  void SetXRange(double from, double to) override { View.xAxis->setRange(from, to); }
  void Replace(int series, const QList<QPointF>& points) override {
    QVector<QCPGraphData> data;
    for (const QPointF& p : points) data.append(QCPGraphData(p.x(), p.y()));
    View.graph(series)->data()->set(data, true);
  }
  void Slide(int series, const QList<QPointF>& added, double keepFrom) override {
    QVector<double> keys, values;
    for (const QPointF& p : added) keys.append(p.x()), values.append(p.y());
    View.graph(series)->addData(keys, values, true);
    View.graph(series)->data()->removeBefore(keepFrom);
  }
  void Redraw() override { View.replot(QCustomPlot::rpImmediateRefresh); }

 private:
  QCustomPlot View;
};

class ChartsPlot : public Plot {
 public:
  ChartsPlot(bool antialiased, bool append) : Append(append), View(new QChart) {
    View.chart()->addAxis(XAxis, Qt::AlignBottom);  // the chart owns axes and series
    View.chart()->addAxis(YAxis, Qt::AlignLeft);
    YAxis->setRange(kYFrom, kYTo);
    for (int series = 0; series < kSeries; ++series) {
      Lines.push_back(new QLineSeries);
      Lines.back()->setPen(QPen(Colour(series), 1));
      Lines.back()->setName(QString("series %1").arg(series + 1));
      View.chart()->addSeries(Lines.back());
      Lines.back()->attachAxis(XAxis);
      Lines.back()->attachAxis(YAxis);
    }
    View.setRenderHint(QPainter::Antialiasing, antialiased);
    Widget = &View;
    View.viewport()->installEventFilter(this);
  }
  void SetXRange(double from, double to) override { XAxis->setRange(from, to); }
  void Replace(int series, const QList<QPointF>& points) override {
    Lines[series]->replace(points);
    Windows[series] = points;
  }
  void Slide(int series, const QList<QPointF>& added, double) override {
    Windows[series].remove(0, added.size());
    Windows[series].append(added);
    if (Append) {
      Lines[series]->append(added);
      Lines[series]->removePoints(0, static_cast<int>(added.size()));
    } else {
      Lines[series]->replace(Windows[series]);
    }
  }
  void Redraw() override { View.viewport()->update(); }

 private:
  bool Append;
  QValueAxis* XAxis = new QValueAxis;
  QValueAxis* YAxis = new QValueAxis;
  QChartView View;
  std::vector<QLineSeries*> Lines;
  std::vector<QList<QPointF>> Windows = std::vector<QList<QPointF>>(kSeries);  // what each series holds
};

std::string Label;  // "lib=... case=... aa=...", first on every result line

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())));
  return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

int Run(Plot& plot, const std::string& shape, int frames) {
  plot.Widget->resize(1000, 600);
  plot.Widget->show();
  for (const auto shown = Clock::now(); !plot.Widget->windowHandle()->isExposed() && Since(shown) < 5;) {
    QCoreApplication::processEvents();
  }

  // All data is made outside the timed calls.
  std::vector<QList<QPointF>> variants;  // [variant * kSeries + series]
  double setupSeconds = 0;
  std::int64_t nextLine = shape == "thinned" ? 0 : shape == "raw1m" ? kBigPoints : kWindowPoints;
  plot.SetXRange(0, shape == "thinned" ? kColumns - 1 : static_cast<double>(nextLine) / kLinesPerSecond);
  if (shape == "thinned") {
    for (int i = 0; i < kVariants * kSeries; ++i) variants.push_back(ThinnedPoints(i % kSeries, i / kSeries));
    const auto start = Clock::now();
    for (int series = 0; series < kSeries; ++series) plot.Replace(series, variants[series]);
    setupSeconds = Since(start);
  } else {
    for (int series = 0; series < kSeries; ++series) {
      QList<QPointF> points(nextLine);
      for (int n = 0; n < nextLine; ++n) points[n] = RawPoint(series, n);
      const auto start = Clock::now();
      plot.Replace(series, points);
      setupSeconds += Since(start);
      if (setupSeconds > kGiveUpSetupSeconds) {
        std::printf("%s result=skipped setup_s=%.1f series_loaded=%d peak_rss_mb=%.0f\n", Label.c_str(),
                    setupSeconds, series + 1, PeakRssMb());
        return 0;
      }
    }
  }
  const double loadedRssMb = PeakRssMb();

  const int warmUp = shape == "raw1m" ? 1 : 10;
  std::vector<double> wall, cpu;
  std::vector<QList<QPointF>> added(kSeries);
  double firstFrameSeconds = 0;
  int measuredPaints = 0;
  const char* note = "";
  for (int frame = 0; frame < warmUp + frames; ++frame) {
    for (int series = 0; shape == "raw10s" && series < kSeries; ++series) {
      added[series].clear();
      for (int n = 0; n < kPointsPerFrame; ++n) added[series].append(RawPoint(series, nextLine + n));
    }
    nextLine += shape == "raw10s" ? kPointsPerFrame : 0;
    const int paintsBefore = plot.Paints;
    const double cpuStart = CpuSeconds();
    const auto start = Clock::now();
    if (shape == "thinned") {
      for (int series = 0; series < kSeries; ++series)
        plot.Replace(series, variants[frame % kVariants * kSeries + series]);
    } else if (shape == "raw10s") {
      const double keepFrom = static_cast<double>(nextLine - kWindowPoints) / kLinesPerSecond;
      for (int series = 0; series < kSeries; ++series) plot.Slide(series, added[series], keepFrom);
      plot.SetXRange(keepFrom, static_cast<double>(nextLine) / kLinesPerSecond);
    }
    plot.Redraw();
    QCoreApplication::processEvents();
    const double seconds = Since(start);
    firstFrameSeconds = frame == 0 ? seconds : firstFrameSeconds;
    if (frame >= warmUp || seconds > kGiveUpFrameSeconds) {
      wall.push_back(seconds * 1000);
      cpu.push_back((CpuSeconds() - cpuStart) * 1000);
      measuredPaints += plot.Paints - paintsBefore;
    }
    if (seconds > kGiveUpFrameSeconds) note = " note=frame_over_5s";
    if (wall.size() >= 5 && std::accumulate(wall.begin(), wall.end(), 0.0) > kMaxMeasuredSeconds * 1000) {
      note = " note=time_capped";
    }
    if (*note) break;
  }
  std::printf(
      "%s result=ok frames=%zu wall_med_ms=%.2f wall_p95_ms=%.2f cpu_med_ms=%.2f paints_per_frame=%.2f "
      "setup_ms=%.1f first_frame_ms=%.1f rss_loaded_mb=%.0f peak_rss_mb=%.0f%s\n",
      Label.c_str(), wall.size(), Percentile(wall, 0.5), Percentile(wall, 0.95), Percentile(cpu, 0.5),
      static_cast<double>(measuredPaints) / static_cast<double>(wall.size()), setupSeconds * 1000,
      firstFrameSeconds * 1000, loadedRssMb, PeakRssMb(), note);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList arguments = QCoreApplication::arguments();
  const auto option = [&](const QString& name, const QString& fallback) {
    const qsizetype at = arguments.indexOf(name);
    return (at > 0 && at + 1 < arguments.size() ? arguments[at + 1] : fallback).toStdString();
  };
  const std::string library = option("--lib", ""), shape = option("--case", "");
  const bool antialiased = option("--aa", "on") != "off", append = arguments.contains("--append");
  if ((library != "qcustomplot" && library != "qtcharts") ||
      (shape != "thinned" && shape != "raw10s" && shape != "raw1m")) {
    std::fprintf(stderr, "usage: plot_libraries --lib qcustomplot|qtcharts --case thinned|raw10s|raw1m\n");
    return 1;
  }
  Label =
      "lib=" + library + " case=" + shape + (append ? "-append" : "") + " aa=" + (antialiased ? "on" : "off");
  std::unique_ptr<Plot> plot(library == "qtcharts" ? static_cast<Plot*>(new ChartsPlot(antialiased, append))
                                                   : new CustomPlot(antialiased));
  return Run(*plot, shape, std::stoi(option("--frames", shape == "raw1m" ? "20" : "200")));
}
