// SPDX-License-Identifier: GPL-3.0-or-later
// The Terminal tab: the receive view (following, find, copy and save, freeze, clear, the hex
// form, "Show sent"), the prepared lines' periodic send, and the console.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <stdexcept>
#include <tuple>

#include "adapters/qt_timer.h"
#include "app/panel.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_serial_port.h"
#include "fakes/fake_surface.h"
#include "ui/frm_terminal.h"
#include "ui/session_end.h"
#include "ui/tab_building.h"

#ifndef Q_OS_WIN
#include <csignal>
#endif
#include "ui/window_on_fakes.h"

using korvani::ui::FrmTerminal;

class TerminalTabTest : public QObject {
  Q_OBJECT

 private slots:
  // The view follows the newest line and draws only what is in sight; scrolled up it stays
  // on its line while more arrives, and End follows again.
  void viewFollowsTheNewestLineUntilScrolledUp() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    port.Open = true;
    window.resize(900, 700);
    window.show();
    window.Ui().SSTab1->setCurrentIndex(0);
    korvani::ui::RxView& view = *window.Ui().txtRxData;
    for (int i = 0; i < 200; ++i) {
      port.Arrive("line " + std::to_string(i) + "\r\n");
    }
    QTRY_COMPARE(view.VisibleLines().value(view.VisibleLines().size() - 1), QStringLiteral("line 199"));
    QVERIFY(view.VisibleLines().size() < 100);
    QVERIFY(view.AllText().startsWith(QStringLiteral("line 0\nline 1\n")));

    view.verticalScrollBar()->setValue(10);
    QVERIFY(!view.Following());
    QCOMPARE(view.VisibleLines().value(0), QStringLiteral("line 10"));
    port.Arrive("line 200\r\n");
    QTest::qWait(2 * korvani::ui::RxView::kRefreshMs);
    QCOMPARE(view.VisibleLines().value(0), QStringLiteral("line 10"));
    QTest::keyClick(&view, Qt::Key_End);
    QVERIFY(view.Following());
    QTRY_COMPARE(view.VisibleLines().value(view.VisibleLines().size() - 1), QStringLiteral("line 200"));

    // A find holds the match in sight; closing the bar follows again, as before the find.
    QCOMPARE(view.FindNext(QStringLiteral("line 195"), true, false), korvani::ui::RxView::Found::Yes);
    QVERIFY(!view.Following());
    view.EndFind();
    QVERIFY(view.Following());
    port.Arrive("line 201\r\n");
    QTRY_COMPARE(view.VisibleLines().value(view.VisibleLines().size() - 1), QStringLiteral("line 201"));

    // Scrolled up, then cleared: the empty view follows what comes next.
    view.verticalScrollBar()->setValue(10);
    QVERIFY(!view.Following());
    window.Ui().cmdRxClear->click();
    for (int i = 0; i < 100; ++i) {
      port.Arrive("after " + std::to_string(i) + "\r\n");
    }
    QTRY_COMPARE(view.VisibleLines().value(view.VisibleLines().size() - 1), QStringLiteral("after 99"));
  }

  // Ctrl+F opens the find bar; Enter finds the next match in the history and brings it into
  // sight, Previous goes back, Match case counts, and Esc closes the bar.
  void findBarFindsInTheWholeHistory() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    port.Open = true;
    window.resize(900, 700);
    window.show();
    const auto& ui = window.Ui();
    ui.SSTab1->setCurrentIndex(0);
    for (int i = 0; i < 200; ++i) {
      port.Arrive("line " + std::to_string(i) + "\r\n");
    }
    QTRY_COMPARE(ui.txtRxData->VisibleLines().value(ui.txtRxData->VisibleLines().size() - 1),
                 QStringLiteral("line 199"));
    ui.txtRxData->setFocus();
    QTest::keyClick(ui.txtRxData, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(ui.fraFind->isVisible());
    QTest::keyClicks(ui.txtFind, QStringLiteral("line 42"));
    QTest::keyClick(ui.txtFind, Qt::Key_Return);
    QCOMPARE(ui.txtRxData->MatchNumber(), std::optional<std::uint64_t>(42));
    QVERIFY(ui.txtRxData->VisibleLines().contains(QStringLiteral("line 42")));
    QVERIFY(!ui.txtRxData->Following());
    ui.cmdFindNext->click();  // no other line holds it: past the end, from the start, to it again
    QCOMPARE(ui.lblFindResult->text(), QStringLiteral("passed the end, found from the start"));
    QCOMPARE(ui.txtRxData->MatchNumber(), std::optional<std::uint64_t>(42));

    // A new text after a match on the last line is found from the view's place, past the end.
    ui.txtFind->setText(QStringLiteral("line 199"));
    ui.cmdFindNext->click();
    QCOMPARE(ui.txtRxData->MatchNumber(), std::optional<std::uint64_t>(199));
    QCOMPARE(ui.lblFindResult->text(), QString());
    ui.txtFind->setText(QStringLiteral("line 5"));
    ui.cmdFindNext->click();
    QCOMPARE(ui.txtRxData->MatchNumber(), std::optional<std::uint64_t>(5));
    QCOMPARE(ui.lblFindResult->text(), QStringLiteral("passed the end, found from the start"));
    ui.cmdFindNext->click();  // the same text goes on after its match
    QCOMPARE(ui.txtRxData->MatchNumber(), std::optional<std::uint64_t>(50));
    QCOMPARE(ui.lblFindResult->text(), QString());

    ui.txtFind->setText(QStringLiteral("LINE 7"));
    ui.chkFindMatchCase->setChecked(true);
    ui.cmdFindPrevious->click();
    QCOMPARE(ui.lblFindResult->text(), QStringLiteral("not found"));
    ui.chkFindMatchCase->setChecked(false);
    ui.cmdFindPrevious->click();
    QCOMPARE(ui.txtRxData->MatchNumber(), std::optional<std::uint64_t>(7));
    QCOMPARE(ui.lblFindResult->text(), QString());

    QTest::keyClick(ui.txtFind, Qt::Key_Escape);
    QVERIFY(!ui.fraFind->isVisible());
    QCOMPARE(ui.txtRxData->MatchNumber(), std::nullopt);
  }

  // A drag selects from one place to another, Shift and the arrows move its end, Ctrl+C
  // copies it as drawn; "Save view..." writes the whole history as shown, stamps included.
  void copyAndSaveTakeTheViewAsShown() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    port.Open = true;
    window.resize(900, 700);
    window.show();
    const auto& ui = window.Ui();
    ui.SSTab1->setCurrentIndex(0);
    korvani::ui::RxView& view = *ui.txtRxData;
    port.Arrive("alpha\r\nbeta\x01\r\ngamma");
    QTRY_COMPARE(view.VisibleLines().size(), 3);

    const int line = view.fontMetrics().lineSpacing();
    const int letter = view.fontMetrics().horizontalAdvance(QLatin1Char('m'));
    const auto at = [&](int column, int row) { return QPoint(4 + column * letter, row * line + line / 2); };
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, at(2, 0));
    QTest::mouseMove(view.viewport(), at(3, 1));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, at(3, 1));
    QCOMPARE(view.SelectedText(), QStringLiteral("pha\nbet"));
    QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(view.SelectedText(), QStringLiteral("pha\nbeta'"));
    QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(view.SelectedText(), QStringLiteral("pha\nbeta'01 \ngamma"));
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("pha\nbeta'01 \ngamma"));

    QTemporaryDir folder;
    board.fake.Dialogs.FileAnswer = folder.filePath(QStringLiteral("view.txt")).toStdString();
    ui.chkTimestamps->click();
    ui.optRxHex->click();
    ui.cmdSaveView->click();
    QFile saved(folder.filePath(QStringLiteral("view.txt")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(),
             QByteArray("15:30:45.000 61 6C 70 68 61 0D 0A 62 65 74 61 01 0D 0A 67 61 6D 6D 61 \r\n"));
  }

  void buttonsDriveFreezeClearAndTheHexView() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    port.Open = true;
    const auto& ui = window.Ui();

    port.Arrive("AB");
    QTRY_COMPARE(ui.txtRxData->AllText(), QStringLiteral("AB"));
    ui.cmdRxFreeze->click();
    QCOMPARE(ui.cmdRxFreeze->text(), QStringLiteral("Update"));
    port.Arrive("C");
    QTest::qWait(2 * korvani::ui::RxView::kRefreshMs);
    QCOMPARE(ui.txtRxData->AllText(), QStringLiteral("AB"));

    ui.optRxHex->click();  // the frozen view in the other form: still what it held
    QTRY_COMPARE(ui.txtRxData->AllText(), QStringLiteral("41 42 "));
    ui.cmdRxFreeze->click();
    QCOMPARE(ui.cmdRxFreeze->text(), QStringLiteral("Freeze"));
    port.Arrive("D");
    QTRY_COMPARE(ui.txtRxData->AllText(), QStringLiteral("41 42 43 44 "));

    ui.chkTimestamps->click();  // stamps from the panel's clock, in the form shown
    QVERIFY(panel.Current().Receive().Timestamps());
    QTRY_COMPARE(ui.txtRxData->AllText(), QStringLiteral("15:30:45.000 41 42 43 44 "));

    ui.cmdRxClear->click();
    QTRY_COMPARE(ui.txtRxData->AllText(), QString());
  }

  // With "Show sent" ticked, what a Tx line and the panel send appears in the view as lines
  // of their own, in order among what came in; unticked, nothing sent is shown.
  void showSentPutsWhatWentOutAmongWhatCameIn() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    port.Open = true;
    const auto& ui = window.Ui();
    ui.txtTx[0]->setText(QStringLiteral("V?'0D"));
    ui.cmdSend[0]->click();
    port.Arrive("ready\r\n");
    QTRY_COMPARE(ui.txtRxData->AllText(), QStringLiteral("ready"));

    ui.chkShowSent->click();
    ui.cmdSend[0]->click();
    port.Arrive("\x01r\x03");  // the board asks the time: the panel's answer is sent too
    QTRY_COMPARE(ui.txtRxData->AllText().split(QLatin1Char('\n')).size(), 4);
    const QStringList lines = ui.txtRxData->AllText().split(QLatin1Char('\n'));
    QCOMPARE(lines[0], QStringLiteral("ready"));
    QCOMPARE(lines[1], QStringLiteral("V?"));
    QCOMPARE(lines[2], QStringLiteral("'01 r'03 "));
    QVERIFY(lines[3].startsWith(QStringLiteral("'07 '05 261207")));
    const korvani::terminal::RxHistory& history = panel.Current().Receive().History();
    std::string text;
    QCOMPARE(history.AppendLine(korvani::terminal::HistoryForm::Ascii, 1, text).From,
             korvani::terminal::Direction::Sent);
    QCOMPARE(history.AppendLine(korvani::terminal::HistoryForm::Ascii, 2, text).From,
             korvani::terminal::Direction::Received);
  }

  // "Every" and its milliseconds beside a Tx line send it on the panel's timer.
  void everyBoxSendsTheLineOnItsInterval() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    port.Open = true;
    const auto& ui = window.Ui();
    ui.txtTx[2]->setText(QStringLiteral("T?'0D"));
    ui.chkLogSent->click();  // no echo: the logs are not the point here
    const std::size_t timers = board.fake.Timers.size();
    ui.spnRepeat[2]->setValue(100);
    ui.chkRepeat[2]->click();
    QCOMPARE(panel.Current().Transmit().Repeats()[2], (korvani::terminal::TxRepeat{true, 100}));
    QCOMPARE(board.fake.Timers.size(), timers + 1);
    board.fake.Timers.back()->Advance(250);
    QCOMPARE(QString::fromStdString(port.Written), QStringLiteral("T?\rT?\r"));
    ui.chkRepeat[2]->click();
    board.fake.Timers.back()->Advance(250);
    QCOMPARE(QString::fromStdString(port.Written), QStringLiteral("T?\rT?\r"));

    // Enter in a line sends it, with the line end chosen.
    port.Written.clear();
    ui.cmbLineEnd->setCurrentIndex(3);
    emit ui.cmbLineEnd->activated(3);  // CR LF
    QTest::keyClick(ui.txtTx[2], Qt::Key_Return);
    QCOMPARE(QString::fromStdString(port.Written), QStringLiteral("T?\r\r\n"));
    QCOMPARE(ui.lblCheckDisp->text(), QStringLiteral("54 3F 0D 0D 0A "));
  }

  // The console: keys typed go to the port as a terminal sends them (and "Show sent" sees
  // them); a board's colours are drawn in the cells its escape sequences name.
  void theConsoleSendsKeysAsTypedAndDrawsTheBoardsColours() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    panel.Current().Controls().SetTerminalMode(true);  // as --console makes it
    panel.FormLoad();
    window.resize(900, 700);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.ShowConsole();
    const auto& ui = window.Ui();
    QCOMPARE(ui.SSTab1->currentIndex(), korvani::app::kTerminalTab);
    QVERIFY(ui.txtConsole->isVisible());
    QVERIFY(!ui.txtRxData->isVisible());
    QCOMPARE(window.focusWidget(), static_cast<QWidget*>(ui.txtConsole));  // the keyboard is the console's
    ui.chkShowSent->click();
    port.Written.clear();
    QTest::keyClicks(ui.txtConsole, QStringLiteral("help"));
    QTest::keyClick(ui.txtConsole, Qt::Key_Return);
    QTest::keyClick(ui.txtConsole, Qt::Key_Up);
    QTest::keyClick(ui.txtConsole, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QString::fromLatin1(port.Written), QStringLiteral("help\r\x1b[A\x03"));
    // Control keys as xterm sends them, whatever text the layout gives them.
    port.Written.clear();
    for (const int key : {Qt::Key_M, Qt::Key_J, Qt::Key_I, Qt::Key_BracketLeft, Qt::Key_Backslash,
                          Qt::Key_BracketRight, Qt::Key_Space, Qt::Key_2}) {
      QTest::keyClick(ui.txtConsole, static_cast<Qt::Key>(key), Qt::ControlModifier);
    }
    QKeyEvent altEacute(QEvent::KeyPress, Qt::Key_Eacute, Qt::AltModifier, QStringLiteral("\u00E9"));
    QApplication::sendEvent(ui.txtConsole, &altEacute);
    QCOMPARE(port.Written, std::string("\r\n\t\x1b\x1c\x1d\0\0\x1b\xC3\xA9", 11));
    QVERIFY(QString::fromStdString(panel.Current().Receive().ViewText()).contains(QStringLiteral("help")));

    port.Arrive("\x1b[41m" + std::string(20, ' ') + "\x1b[0m\x1b[10;30H\x1b[42mX\x1b[0m");
    const QRect red = ui.txtConsole->CellRect(0, 19);
    const QRect green = ui.txtConsole->CellRect(9, 29);
    QTRY_COMPARE(ui.txtConsole->viewport()->grab().toImage().pixelColor(red.center()), QColor(224, 0, 0));
    const QImage shown = ui.txtConsole->viewport()->grab().toImage();
    QCOMPARE(shown.pixelColor(ui.txtConsole->CellRect(0, 20).center()), QColor(0, 0, 0));
    QCOMPARE(shown.pixelColor(green.topLeft()), QColor(0, 224, 0));

    // A question from the board is answered on the line.
    port.Written.clear();
    port.Arrive("\x1b[3;7H\x1b[6n");
    QTRY_COMPARE(QString::fromLatin1(port.Written), QStringLiteral("\x1b[3;7R"));

    // Each cell is drawn at its column, however long the run: a line of 100 letters ends in
    // the 100th cell, not beyond it.
    window.resize(1400, 700);
    QTRY_VERIFY(ui.txtConsole->Emulator().Columns() > 104);
    port.Arrive("\x1b[2J\x1b[H" + std::string(100, 'M') + "\r\n");
    QTRY_VERIFY(ui.txtConsole->Emulator().TextOf(0).size() == 100);
    QTest::qWait(2 * korvani::ui::ConsoleView::kRepaintMs);
    QImage line = ui.txtConsole->viewport()->grab().toImage();
    const auto inked = [&line](const QRect& cells) {
      for (int x = cells.left(); x <= cells.right(); ++x) {
        for (int y = cells.top(); y <= cells.bottom(); ++y) {
          if (line.pixelColor(x, y).lightness() > 100) {
            return true;
          }
        }
      }
      return false;
    };
    const QRect last = ui.txtConsole->CellRect(0, 99);
    QVERIFY(inked(last));
    QVERIFY(!inked(ui.txtConsole->CellRect(0, 100).united(ui.txtConsole->CellRect(0, 103))));
    // A character that another font draws wider than a cell keeps to its cell.
    port.Arrive("\x1b[2J\x1b[H\xEF\xBF\xBD \x1b(0` \x1b(B\r\n");
    QTRY_VERIFY(ui.txtConsole->Emulator().TextOf(0) == "\xEF\xBF\xBD \xE2\x97\x86");
    QTest::qWait(2 * korvani::ui::ConsoleView::kRepaintMs);
    line = ui.txtConsole->viewport()->grab().toImage();
    QVERIFY(inked(ui.txtConsole->CellRect(0, 0)));
    QVERIFY(inked(ui.txtConsole->CellRect(0, 2)));
    QVERIFY(!inked(ui.txtConsole->CellRect(0, 1)));
    QVERIFY(!inked(ui.txtConsole->CellRect(0, 3)));

    // A paste for a slow board goes out a character at a time; its line end as Enter sends it.
    ui.spnPasteChar->setValue(5);
    port.Written.clear();
    ui.txtConsole->PasteText(QStringLiteral("ab\r\ncd"));
    QCOMPARE(QString::fromLatin1(port.Written), QStringLiteral("a"));
    QTRY_COMPARE(QString::fromLatin1(port.Written), QStringLiteral("ab\rcd"));

    ui.optRxASCII->click();  // the other form shows the same bytes as received
    QVERIFY(ui.txtRxData->isVisible());
    QVERIFY(!ui.txtConsole->isVisible());
    port.Arrive("\x1b[2J\x1b[Hwhile away");  // what came meanwhile is on the console when it is back
    ui.optRxConsole->click();
    QCOMPARE(QString::fromStdString(ui.txtConsole->Emulator().TextOf(0)), QStringLiteral("while away"));
  }
};

QTEST_MAIN(TerminalTabTest)
#include "terminal_tab_test.moc"
