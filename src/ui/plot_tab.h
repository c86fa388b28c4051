// SPDX-License-Identifier: GPL-3.0-or-later
// The Plot tab: the numbers the board prints, drawn against their arrival time. The points
// live in the core's store (app::Session::Plot); the tab draws only what the pixels in view can
// show, at most once a frame and only while it is in view.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVector>
#include <cstdint>
#include <string>
#include <vector>

#include "plot/series.h"
#include "ui/panel_tab.h"

class QCustomPlot;
class QCPItemStraightLine;
class QMouseEvent;

namespace korvani::ui {

struct PlotTabUi {
  QCustomPlot* picPlot = nullptr;
  QListWidget* lstPlotSeries = nullptr;  // the legend: colour, name, last value; untick to hide
  QComboBox* cmbPlotWindow = nullptr;    // how much time is in view
  QCheckBox* chkPlotFollow = nullptr;    // the newest in view; unticked, the view holds still
  QCheckBox* chkPlotAutoY = nullptr;     // the Y range fits what is in view
  QLineEdit* txtPlotYMin = nullptr;      // a fixed Y range
  QLineEdit* txtPlotYMax = nullptr;
  QPushButton* cmdPlotClear = nullptr;
  QPushButton* cmdPlotSaveData = nullptr;
  QPushButton* cmdPlotSavePicture = nullptr;
  QLabel* lblPlotCursor = nullptr;  // the time and values under the mouse
  QLabel* lblPlotKept = nullptr;    // what the store holds
};

// The time windows offered, in seconds (0: everything kept).
struct PlotWindowChoice {
  const char* Caption;
  double Seconds;
};
inline constexpr PlotWindowChoice kPlotWindows[] = {
    {"10 s", 10},    {"30 s", 30},     {"1 min", 60}, {"5 min", 300},
    {"10 min", 600}, {"30 min", 1800}, {"1 h", 3600}, {"All kept", 0},
};

void BuildPlotTab(PlotTabUi& ui, QWidget* tab);

class PlotTab final : public SessionTab {
 public:
  // The least time between two frames while points arrive.
  static constexpr int kFrameMs = 27;
  // The least time between two changes of the legend's values and the readouts.
  static constexpr int kTextsMs = 250;

  explicit PlotTab(const FaultReport& report);
  void Attach(app::Session& session);
  [[nodiscard]] const PlotTabUi& Ui() const { return Widgets; }
  // Draws the store as it is now (tests and tools; the tab itself waits for a frame).
  void Redraw();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void AttachControls();
  // New points: a frame is asked for, unless one is due already or the tab is out of view.
  void PointsArrived();
  // The graphs and the legend match the store's series.
  void MatchSeries();
  void PlaceTimeWindow();
  void DrawSeries();
  void FitYRange();
  // The legend's newest values, the Y range's boxes and what is kept.
  void ShowTexts();
  void ShowKept();
  void ShowCursor(QMouseEvent* event);
  // The user dragged or zoomed: the view holds still where it was put.
  void UserMovedTime();
  void UserMovedValues();
  void ApplyTypedYRange();

  PlotTabUi Widgets;
  QTimer FrameTimer;
  QElapsedTimer SinceDrawn;
  QTimer TextTimer;
  QElapsedTimer SinceTexts;
  QCPItemStraightLine* CursorLine = nullptr;
  std::vector<plot::Point> Thinned;
  QVector<double> Keys;
  QVector<double> Values;
  bool ProgramMoves = false;      // the ranges are being set by the tab, not by the user
  std::uint64_t DrawnClears = 0;  // the store's clears when its series were last matched
};

}  // namespace korvani::ui
