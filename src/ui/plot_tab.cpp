// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/plot_tab.h"

#include <qcustomplot.h>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <limits>

#include "app/session.h"
#include "plot/thinning.h"
#include "ui/tab_building.h"

namespace korvani::ui {

namespace {

// One colour a series, told apart on white; after the sixteenth they come round again.
constexpr QRgb kSeriesColours[] = {0x1f77b4, 0xd62728, 0x2ca02c, 0xff7f0e, 0x9467bd, 0x8c564b,
                                   0xe377c2, 0x7f7f7f, 0xbcbd22, 0x17becf, 0x000080, 0x800000,
                                   0x008000, 0xb8860b, 0x4b0082, 0x2f4f4f};

QColor SeriesColour(int index) {
  return QColor(kSeriesColours[static_cast<std::size_t>(index) % std::size(kSeriesColours)]);
}

QString Number(double value) {
  return QString::number(value, 'g', 7);
}

}  // namespace

PlotTab::PlotTab(const FaultReport& report) : SessionTab(report) {
  BuildPlotTab(Widgets, this);
  CursorLine = new QCPItemStraightLine(Widgets.picPlot);
  CursorLine->setPen(QPen(QColor(0, 0, 0, 90), 1, Qt::DashLine));
  CursorLine->setVisible(false);
  FrameTimer.setSingleShot(true);
  FrameTimer.setTimerType(Qt::PreciseTimer);
  connect(&FrameTimer, &QTimer::timeout, this, Guarded(report, [this] { Redraw(); }));
  SinceDrawn.start();
  TextTimer.setSingleShot(true);
  connect(&TextTimer, &QTimer::timeout, this, Guarded(report, [this] { ShowTexts(); }));
}

void PlotTab::Attach(app::Session& session) {
  Attached = &session;
  session.Plot().SetChangeWatcher([this] { PointsArrived(); });
  AttachControls();
}

void PlotTab::AttachControls() {
  const PlotTabUi& w = Widgets;
  const auto redraw = Do([this](app::Session&) { Redraw(); });
  connect(w.cmbPlotWindow, &QComboBox::currentIndexChanged, this, [this, redraw] {
    Widgets.chkPlotFollow->setChecked(true);  // a window is chosen to be seen
    redraw();
  });
  connect(w.chkPlotFollow, &QCheckBox::toggled, this, redraw);
  connect(w.chkPlotAutoY, &QCheckBox::toggled, this, redraw);
  connect(w.txtPlotYMin, &QLineEdit::returnPressed, this, [this] { ApplyTypedYRange(); });
  connect(w.txtPlotYMax, &QLineEdit::returnPressed, this, [this] { ApplyTypedYRange(); });
  connect(w.lstPlotSeries, &QListWidget::itemChanged, this, redraw);
  connect(w.cmdPlotClear, &QPushButton::clicked, this, Do([this](app::Session& p) {
            p.Plot().Clear();
            Redraw();
          }));
  connect(w.cmdPlotSaveData, &QPushButton::clicked, this, Do([](app::Session& p) { p.SavePlotData(); }));
  connect(w.cmdPlotSavePicture, &QPushButton::clicked, this, Do([this](app::Session& p) {
            p.SavePlotPicture([this](const std::string& path) -> std::string {
              return Widgets.picPlot->savePng(FromUtf8(path)) ? "" : "the picture could not be written";
            });
          }));
  // Dragging and the wheel move the axes; then the view stays where the user put it.
  connect(w.picPlot->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
          [this] { UserMovedTime(); });
  connect(w.picPlot->yAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
          [this] { UserMovedValues(); });
  connect(w.picPlot, &QCustomPlot::mouseMove, this,
          Guarded(Report, [this](QMouseEvent* event) { ShowCursor(event); }));
}

void PlotTab::PointsArrived() {
  if (FrameTimer.isActive() || !isVisible()) {
    return;  // a frame is due; or the tab is drawn afresh when it comes into view
  }
  FrameTimer.start(static_cast<int>(std::max<qint64>(0, kFrameMs - SinceDrawn.elapsed())));
}

void PlotTab::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (Attached != nullptr) {
    Attached->Plot().SetCollecting(true);  // from the first look on, hidden or not
    RunGuarded(Report, [this] { Redraw(); });
  }
}

void PlotTab::Redraw() {
  if (Attached == nullptr) {
    return;
  }
  FrameTimer.stop();
  SinceDrawn.restart();
  ProgramMoves = true;
  MatchSeries();
  PlaceTimeWindow();
  DrawSeries();
  FitYRange();
  ProgramMoves = false;
  Widgets.picPlot->replot(QCustomPlot::rpImmediateRefresh);
  // The legend's values and the readouts change a few times a second, not every frame: each
  // change repaints their widgets too. The last values are shown once the stream pauses.
  if (!SinceTexts.isValid() || SinceTexts.elapsed() >= kTextsMs) {
    ShowTexts();
  } else if (!TextTimer.isActive()) {
    TextTimer.start(static_cast<int>(kTextsMs - SinceTexts.elapsed()));
  }
}

void PlotTab::ShowTexts() {
  if (Attached == nullptr) {
    return;
  }
  TextTimer.stop();
  SinceTexts.restart();
  const auto& all = Attached->Plot().AllSeries();
  QListWidget& legend = *Widgets.lstPlotSeries;
  const QSignalBlocker quiet(legend);  // a text changed is no series hidden or shown
  for (std::size_t index = 0; index < all.size() && index < static_cast<std::size_t>(legend.count());
       ++index) {
    const plot::Series& series = *all[index];
    QListWidgetItem* item = legend.item(static_cast<int>(index));
    const QString text = FromUtf8(series.Name()) + QStringLiteral("   ") +
                         (series.Count() > 0 ? Number(series.Last().Value) : QString());
    if (item->text() != text) {
      item->setText(text);
    }
  }
  const QCPRange values = Widgets.picPlot->yAxis->range();
  for (QLineEdit* box : {Widgets.txtPlotYMin, Widgets.txtPlotYMax}) {
    if (!box->hasFocus()) {
      box->setText(QLocale().toString(box == Widgets.txtPlotYMin ? values.lower : values.upper, 'g', 7));
    }
  }
  ShowKept();
}

void PlotTab::MatchSeries() {
  const auto& all = Attached->Plot().AllSeries();
  QCustomPlot& plot = *Widgets.picPlot;
  QListWidget& legend = *Widgets.lstPlotSeries;
  if (Attached->Plot().Clears() != DrawnClears) {  // new series may have come already
    DrawnClears = Attached->Plot().Clears();
    plot.clearGraphs();
    legend.clear();
  }
  const QSignalBlocker quiet(legend);
  for (auto index = static_cast<std::size_t>(plot.graphCount()); index < all.size(); ++index) {
    const int number = static_cast<int>(index);
    QCPGraph* graph = plot.addGraph();
    graph->setPen(QPen(SeriesColour(number), 1));  // a wider pen is stroked, at many times the cost
    graph->setName(FromUtf8(all[index]->Name()));
    QPixmap swatch(14, 14);
    swatch.fill(SeriesColour(number));
    auto* item = new QListWidgetItem(QIcon(swatch), QString(), &legend);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
  }
}

void PlotTab::PlaceTimeWindow() {
  if (!Widgets.chkPlotFollow->isChecked()) {
    return;  // where the user left it
  }
  const plot::PlotData& store = Attached->Plot();
  const double seconds = Widgets.cmbPlotWindow->currentData().toDouble();
  double end = store.NewestTime();
  double start = 0;
  if (seconds > 0) {
    end = std::max(end, seconds);  // a plot begun fills the window from its left edge
    start = end - seconds;
  } else {
    start = store.OldestTime();
    end = std::max(end, start + 1);
  }
  Widgets.picPlot->xAxis->setRange(start, end);
}

void PlotTab::DrawSeries() {
  const auto& all = Attached->Plot().AllSeries();
  QCustomPlot& plot = *Widgets.picPlot;
  const QCPRange time = plot.xAxis->range();
  const int columns = std::max(1, plot.axisRect()->width());
  for (std::size_t index = 0; index < all.size(); ++index) {
    QCPGraph* graph = plot.graph(static_cast<int>(index));
    const bool shown = Widgets.lstPlotSeries->item(static_cast<int>(index))->checkState() == Qt::Checked;
    graph->setVisible(shown);
    if (!shown) {
      continue;
    }
    plot::Thin(*all[index], time.lower, time.upper, columns, Thinned);
    Keys.resize(static_cast<qsizetype>(Thinned.size()));
    Values.resize(static_cast<qsizetype>(Thinned.size()));
    for (std::size_t i = 0; i < Thinned.size(); ++i) {
      Keys[static_cast<qsizetype>(i)] = Thinned[i].Time;
      Values[static_cast<qsizetype>(i)] = Thinned[i].Value;
    }
    graph->setData(Keys, Values, true);
  }
}

void PlotTab::FitYRange() {
  QCustomPlot& plot = *Widgets.picPlot;
  if (Widgets.chkPlotAutoY->isChecked()) {
    const QCPRange time = plot.xAxis->range();
    double least = std::numeric_limits<double>::infinity();
    double greatest = -least;
    for (int index = 0; index < plot.graphCount(); ++index) {
      QCPGraph* graph = plot.graph(index);
      if (!graph->visible()) {
        continue;
      }
      for (const QCPGraphData& point : *graph->data()) {
        if (point.key >= time.lower && point.key <= time.upper) {
          least = std::min(least, point.value);
          greatest = std::max(greatest, point.value);
        }
      }
    }
    if (least <= greatest) {
      const double margin =
          greatest > least ? (greatest - least) * 0.05 : std::max(1.0, std::abs(least) * 0.05);
      plot.yAxis->setRange(least - margin, greatest + margin);
    }
  }
}

void PlotTab::ShowKept() {
  const plot::PlotData& store = Attached->Plot();
  std::size_t points = 0;
  for (const auto& series : store.AllSeries()) {
    points += series->Count();
  }
  if (store.AllSeries().empty()) {
    return;
  }
  QString text = QStringLiteral("%1 values in %2 series, %3 MB")
                     .arg(QLocale().toString(static_cast<qulonglong>(points)))
                     .arg(store.AllSeries().size())
                     .arg(static_cast<double>(store.Bytes()) / 1e6, 0, 'f', 1);
  if (store.PassedOver() > 0) {
    text += QStringLiteral("; %1 values of names past the 16th not plotted")
                .arg(QLocale().toString(static_cast<qulonglong>(store.PassedOver())));
  }
  Widgets.lblPlotKept->setText(text);
}

void PlotTab::ShowCursor(QMouseEvent* event) {
  if (Attached == nullptr) {
    return;
  }
  QCustomPlot& plot = *Widgets.picPlot;
  if (!plot.axisRect()->rect().contains(event->pos())) {
    CursorLine->setVisible(false);
    Widgets.lblPlotCursor->clear();
    plot.replot(QCustomPlot::rpQueuedReplot);
    return;
  }
  const double time = plot.xAxis->pixelToCoord(event->position().x());
  QString text = QStringLiteral("%1 s").arg(time, 0, 'f', 3);
  const auto& all = Attached->Plot().AllSeries();
  for (std::size_t index = 0; index < all.size(); ++index) {
    const plot::Series& series = *all[index];
    if (!plot.graph(static_cast<int>(index))->visible() || series.Count() == 0) {
      continue;
    }
    // The point nearest in time.
    std::size_t at = std::min(series.FirstAtOrAfter(time), series.Count() - 1);
    if (at > 0 && time - series.At(at - 1).Time < series.At(at).Time - time) {
      --at;
    }
    text += QStringLiteral("   %1 %2").arg(FromUtf8(series.Name()), Number(series.At(at).Value));
  }
  Widgets.lblPlotCursor->setText(text);
  CursorLine->point1->setCoords(time, 0);
  CursorLine->point2->setCoords(time, 1);
  CursorLine->setVisible(true);
  plot.replot(QCustomPlot::rpQueuedReplot);
}

void PlotTab::UserMovedTime() {
  if (ProgramMoves) {
    return;
  }
  {
    const QSignalBlocker quiet(Widgets.chkPlotFollow);
    Widgets.chkPlotFollow->setChecked(false);
  }
  PointsArrived();  // the points for the new range, in the next frame
}

void PlotTab::UserMovedValues() {
  if (ProgramMoves) {
    return;
  }
  const QSignalBlocker quiet(Widgets.chkPlotAutoY);
  Widgets.chkPlotAutoY->setChecked(false);
}

void PlotTab::ApplyTypedYRange() {
  bool minRead = false;
  bool maxRead = false;
  const double least = QLocale().toDouble(Widgets.txtPlotYMin->text(), &minRead);
  const double greatest = QLocale().toDouble(Widgets.txtPlotYMax->text(), &maxRead);
  if (!minRead || !maxRead || !(least < greatest)) {
    Widgets.lblPlotCursor->setText(QStringLiteral("The Y range needs a lowest value below the highest"));
    return;
  }
  {
    const QSignalBlocker quiet(Widgets.chkPlotAutoY);
    Widgets.chkPlotAutoY->setChecked(false);
  }
  ProgramMoves = true;
  Widgets.picPlot->yAxis->setRange(least, greatest);
  ProgramMoves = false;
  Widgets.picPlot->replot(QCustomPlot::rpQueuedReplot);
}

}  // namespace korvani::ui
