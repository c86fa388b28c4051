// SPDX-License-Identifier: GPL-3.0-or-later
// The Plot tab's widgets: the controls above, the plot and its legend, the readouts below.
#include <qcustomplot.h>
#include <QDoubleValidator>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/plot_tab.h"

namespace korvani::ui {

namespace {

template <typename Widget, typename... Arguments>
Widget* Named(const char* name, Arguments&&... arguments) {
  auto* widget = new Widget(std::forward<Arguments>(arguments)...);
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QLineEdit* RangeBox(const char* name, const char* placeholder, const char* tip) {
  auto* box = Named<QLineEdit>(name);
  box->setPlaceholderText(QString::fromLatin1(placeholder));
  box->setToolTip(QString::fromLatin1(tip));
  box->setValidator(new QDoubleValidator(box));
  box->setMaximumWidth(90);
  return box;
}

}  // namespace

void BuildPlotTab(PlotTabUi& ui, QWidget* tab) {
  auto* controls = new QHBoxLayout;
  controls->addWidget(new QLabel(QStringLiteral("Time in view:")));
  ui.cmbPlotWindow = Named<QComboBox>("cmbPlotWindow");
  for (const PlotWindowChoice& choice : kPlotWindows) {
    ui.cmbPlotWindow->addItem(QString::fromLatin1(choice.Caption), choice.Seconds);
  }
  ui.cmbPlotWindow->setCurrentIndex(0);
  controls->addWidget(ui.cmbPlotWindow);
  ui.chkPlotFollow = Named<QCheckBox>("chkPlotFollow", QStringLiteral("Follow the newest"));
  ui.chkPlotFollow->setChecked(true);
  ui.chkPlotFollow->setToolTip(QStringLiteral(
      "Keep the newest values in view. Untick it, or drag or zoom the plot, to hold the view still."));
  controls->addWidget(ui.chkPlotFollow);
  ui.chkPlotAutoY = Named<QCheckBox>("chkPlotAutoY", QStringLiteral("Fit Y to the values"));
  ui.chkPlotAutoY->setChecked(true);
  ui.chkPlotAutoY->setToolTip(
      QStringLiteral("Fit the Y range to the values in view. Untick it, or type a range, to fix it."));
  controls->addWidget(ui.chkPlotAutoY);
  controls->addWidget(new QLabel(QStringLiteral("Y from")));
  ui.txtPlotYMin = RangeBox("txtPlotYMin", "lowest", "The lowest value in view; Enter fixes the range");
  controls->addWidget(ui.txtPlotYMin);
  controls->addWidget(new QLabel(QStringLiteral("to")));
  ui.txtPlotYMax = RangeBox("txtPlotYMax", "highest", "The highest value in view; Enter fixes the range");
  controls->addWidget(ui.txtPlotYMax);
  controls->addStretch(1);
  ui.cmdPlotClear = Named<QPushButton>("cmdPlotClear", QStringLiteral("Clear plot"));
  ui.cmdPlotClear->setToolTip(QStringLiteral("Forget every value kept; what arrives next starts a new plot"));
  controls->addWidget(ui.cmdPlotClear);
  ui.cmdPlotSaveData = Named<QPushButton>("cmdPlotSaveData", QStringLiteral("Save data..."));
  ui.cmdPlotSaveData->setToolTip(QStringLiteral("Every value kept, as comma-separated values (CSV)"));
  controls->addWidget(ui.cmdPlotSaveData);
  ui.cmdPlotSavePicture = Named<QPushButton>("cmdPlotSavePicture", QStringLiteral("Save picture..."));
  ui.cmdPlotSavePicture->setToolTip(QStringLiteral("The plot as it is shown, as a PNG picture"));
  controls->addWidget(ui.cmdPlotSavePicture);

  ui.picPlot = Named<QCustomPlot>("picPlot");
  ui.picPlot->setMinimumSize(320, 200);
  ui.picPlot->xAxis->setLabel(QStringLiteral("time (s)"));
  ui.picPlot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
  // Lines without antialiasing: at 16 series and 30 frames a second they cost a third.
  ui.picPlot->setNotAntialiasedElements(QCP::aePlottables);
  // One paint buffer, not a second for the overlay that every paint would blend in; solid
  // grid lines, not dotted ones drawn dot by dot.
  ui.picPlot->layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);
  for (QCPAxis* axis : {ui.picPlot->xAxis, ui.picPlot->yAxis}) {
    axis->grid()->setPen(QPen(QColor(225, 225, 225), 0));
    axis->grid()->setZeroLinePen(QPen(QColor(170, 170, 170), 0));
  }
  ui.picPlot->setMouseTracking(true);
  ui.lstPlotSeries = Named<QListWidget>("lstPlotSeries");
  ui.lstPlotSeries->setToolTip(QStringLiteral("Each series with its newest value; untick one to hide it"));
  ui.lstPlotSeries->setFixedWidth(200);
  auto* middle = new QHBoxLayout;
  middle->addWidget(ui.picPlot, 1);
  middle->addWidget(ui.lstPlotSeries);

  auto* readouts = new QHBoxLayout;
  ui.lblPlotCursor = Named<QLabel>("lblPlotCursor");
  ui.lblPlotCursor->setTextFormat(Qt::PlainText);
  ui.lblPlotCursor->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);  // never widens
  ui.lblPlotKept = Named<QLabel>("lblPlotKept");
  ui.lblPlotKept->setTextFormat(Qt::PlainText);
  ui.lblPlotKept->setText(QStringLiteral(
      "Numbers in received lines are plotted: name:value pairs, or columns (a header line names them)"));
  readouts->addWidget(ui.lblPlotCursor, 1);
  readouts->addWidget(ui.lblPlotKept);

  auto* layout = new QVBoxLayout(tab);
  layout->addLayout(controls);
  layout->addLayout(middle, 1);
  layout->addLayout(readouts);
}

}  // namespace korvani::ui
