// SPDX-License-Identifier: GPL-3.0-or-later
// The Plot tab on the real window: series and legend from received lines, what a frame
// draws of a full store, the view held where the user moves it, and no work out of view.
#include <qcustomplot.h>
#include <QTest>
#include <string>

#include "ui/window_on_fakes.h"

using korvani::ui::FrmTerminal;

// The window on fakes, its port open, 1000 x 700, with the Plot tab in view.
struct PlotOnFakes : WindowOnFakes {
  PlotOnFakes() {
    port.Open = true;
    window.resize(1000, 700);
    window.show();
    window.ShowPlot();
  }
};

class PlotTabTest : public QObject {
  Q_OBJECT

 private slots:
  void linesBecomeSeriesInTheirOwnColours() {
    PlotOnFakes board;
    auto [port, window, panel] = board.Parts();
    const korvani::ui::FrmTerminalUi ui = window.Ui();
    for (int i = 0; i < 50; ++i) {
      port.Arrive("temp:" + std::to_string(20 + i % 5) + ",press:1.0" + std::to_string(i % 3) + "\r\n");
    }
    port.Arrive("Booting the board\r\n");
    QTRY_COMPARE(ui.picPlot->graphCount(), 2);
    QCustomPlot& plot = *ui.picPlot;
    QTRY_COMPARE(ui.lstPlotSeries->item(0)->text(), QStringLiteral("temp   24"));
    QCOMPARE(ui.lstPlotSeries->item(1)->text(), QStringLiteral("press   1.01"));
    QVERIFY(plot.graph(0)->pen().color() != plot.graph(1)->pen().color());
    QVERIFY(!plot.graph(0)->data()->isEmpty());
    QVERIFY(plot.yAxis->range().contains(24) && plot.yAxis->range().contains(1.0));
    QCOMPARE(plot.xAxis->range().upper, 10.0);  // a new plot fills the 10 s window from its left

    ui.lstPlotSeries->item(1)->setCheckState(Qt::Unchecked);
    QVERIFY(!plot.graph(1)->visible());
    QVERIFY(plot.yAxis->range().lower > 2);  // the Y range fits the series shown

    ui.cmdPlotClear->click();
    QCOMPARE(plot.graphCount(), 0);
    QCOMPARE(ui.lstPlotSeries->count(), 0);
  }

  // A frame draws a bounded number of points whatever is kept, and keeps each column's
  // extremes: a spike among a million points is still drawn.
  void aFrameDrawsThePixelsNotThePoints() {
    PlotOnFakes board;
    auto [port, window, panel] = board.Parts();
    const korvani::ui::FrmTerminalUi ui = window.Ui();
    ui.cmbPlotWindow->setCurrentIndex(ui.cmbPlotWindow->count() - 1);  // all kept
    std::string lines;
    for (int i = 0; i < 1'000'000; ++i) {
      lines += i == 654'321 ? "99\n" : (i % 2 == 0 ? "1\n" : "2\n");
      if (i % 100 == 99) {
        panel.Current().Plot().Feed(lines, i * 1000LL);  // a hundred lines every 0.1 s
        lines.clear();
      }
    }
    panel.Current().Plot().Feed(lines, 1'000'000'000);
    window.Plot().Redraw();
    QCustomPlot& plot = *ui.picPlot;
    const int drawn = plot.graph(0)->data()->size();
    QVERIFY2(drawn <= 2 * plot.width() + 2,
             qPrintable(QString::number(drawn)));  // two a pixel column at most
    bool found = false;
    const QCPRange values = plot.graph(0)->data()->valueRange(found);
    QVERIFY(found);
    QCOMPARE(values.upper, 99.0);
    QCOMPARE(values.lower, 1.0);
  }

  void theViewHoldsWhereTheUserPutsIt() {
    PlotOnFakes board;
    auto [port, window, panel] = board.Parts();
    const korvani::ui::FrmTerminalUi ui = window.Ui();
    port.Arrive("1,2\r\n3,4\r\n");
    QTRY_COMPARE(ui.picPlot->graphCount(), 2);
    QCustomPlot& plot = *ui.picPlot;
    plot.xAxis->setRange(-5, 3);  // as a drag does
    QVERIFY(!ui.chkPlotFollow->isChecked());
    plot.yAxis->setRange(-10, 10);  // as the wheel does
    QVERIFY(!ui.chkPlotAutoY->isChecked());
    port.Arrive("5,600\r\n");
    QTRY_COMPARE(ui.lstPlotSeries->item(1)->text(), QStringLiteral("2   600"));
    QCOMPARE(plot.xAxis->range(), QCPRange(-5, 3));
    QCOMPARE(plot.yAxis->range(), QCPRange(-10, 10));

    // A typed range fixes Y; a wrong one is refused and said so.
    ui.txtPlotYMin->setText(QStringLiteral("0"));
    ui.txtPlotYMax->setText(QStringLiteral("700"));
    QTest::keyClick(ui.txtPlotYMax, Qt::Key_Return);
    QCOMPARE(plot.yAxis->range(), QCPRange(0, 700));
    ui.txtPlotYMin->setText(QStringLiteral("800"));
    QTest::keyClick(ui.txtPlotYMin, Qt::Key_Return);
    QCOMPARE(plot.yAxis->range(), QCPRange(0, 700));
    QVERIFY(ui.lblPlotCursor->text().contains(QStringLiteral("lowest value below the highest")));

    ui.chkPlotFollow->setChecked(true);
    ui.chkPlotAutoY->setChecked(true);
    QCOMPARE(plot.xAxis->range().upper, 10.0);
    QVERIFY(plot.yAxis->range().contains(600) && plot.yAxis->range().upper < 700);
  }

  // Until the tab is first seen nothing is collected; then out of view the tab draws nothing,
  // and coming into view it draws what came meanwhile.
  void outOfViewNothingIsDrawn() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    port.Open = true;
    window.show();
    port.Arrive("before:1\r\n");
    QVERIFY(panel.Current().Plot().AllSeries().empty());
    window.ShowPlot();
    window.Ui().SSTab1->setCurrentIndex(korvani::app::kSettingsTab);
    port.Arrive("temp:1\r\n");
    QTest::qWait(3 * korvani::ui::PlotTab::kFrameMs);
    QCOMPARE(window.Ui().picPlot->graphCount(), 0);
    QCOMPARE(panel.Current().Plot().AllSeries().size(), 1u);  // kept all the same
    window.ShowPlot();
    QCOMPARE(window.Ui().picPlot->graphCount(), 1);

    // Cleared out of view, and as many series came before the tab was seen again, the first
    // of the same name: every graph is built afresh.
    port.Arrive("temp:2,press:1\r\n");
    QTRY_COMPARE(window.Ui().picPlot->graphCount(), 2);
    window.Ui().SSTab1->setCurrentIndex(korvani::app::kSettingsTab);
    panel.Current().Plot().Clear();
    port.Arrive("temp:3,volts:5\r\n");
    window.ShowPlot();
    QCOMPARE(window.Ui().picPlot->graphCount(), 2);
    QCOMPARE(window.Ui().picPlot->graph(1)->name(), QStringLiteral("volts"));
  }
};

QTEST_MAIN(PlotTabTest)
#include "plot_tab_test.moc"
