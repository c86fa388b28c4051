// The main window shows what the panel decides and forwards the user's clicks.
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <stdexcept>
#include <tuple>

#include "app/panel.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_serial_port.h"
#include "fakes/fake_surface.h"
#include "ui/frm_terminal.h"
#include "ui/qt_timer.h"
#include "ui/session_end.h"
#include "ui/tab_building.h"

#ifndef Q_OS_WIN
#include <csignal>
#endif

using korvani::ui::FrmTerminal;

// The real window on a fake port and platform, with one COM port on the machine.
struct WindowOnFakes {
  WindowOnFakes() {
    fake.Devices.Names = {"USB Serial Port (COM3)"};
    window.Attach(panel);
  }
  std::tuple<korvani::fakes::FakeSerialPort&, FrmTerminal&, korvani::app::Panel&> Parts() {
    return {port, window, panel};
  }

  korvani::fakes::FakeSerialPort port;
  FrmTerminal window;
  korvani::fakes::FakePlatform fake;
  korvani::app::Panel panel{fake.With(port, window.Surface()), window.Views()};
};

class FrmTerminalTest : public QObject {
  Q_OBJECT

 private slots:
  void opensOnTheHmiTabWithThreeTabs() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    panel.FormLoad();
    const auto& ui = window.Ui();
    QCOMPARE(window.windowTitle(), QStringLiteral("Korvani standalone V1.3 build 020      Vexel Vavadivu"));
    QCOMPARE(ui.lblHMITitle->text(), QStringLiteral("--"));
    QCOMPARE(ui.lblHMITitle->width(), ui.picHMI1->width());
    QCOMPARE(ui.lblTx->text(), QStringLiteral("Tx: "));
    QCOMPARE(ui.SSTab1->count(), 3);
    QCOMPARE(ui.SSTab1->tabText(0), QStringLiteral("Terminal"));
    QCOMPARE(ui.SSTab1->tabText(1), QStringLiteral("Korvani (tm)"));
    QCOMPARE(ui.SSTab1->tabText(2), QStringLiteral("Settings"));
    QCOMPARE(ui.SSTab1->currentIndex(), 1);
    QVERIFY(ui.optRxASCII->isChecked());
    QCOMPARE(ui.cmdRxFreeze->text(), QStringLiteral("Freeze"));
  }

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
    QVERIFY(panel.Receive().Timestamps());
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
    const korvani::terminal::RxHistory& history = panel.Receive().History();
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
    QCOMPARE(panel.Transmit().Repeats()[2], (korvani::terminal::TxRepeat{true, 100}));
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

  void testButtonShowsInjectedBytesInHex() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    int resets = 0;
    panel.Link().Commands().Bind('S', [&resets](const korvani::hmi::link::Arguments&) { ++resets; });

    window.Ui().txtHMIRawRx->setText(QStringLiteral("'01S'03"));
    window.Ui().cmdHMITestSend->click();
    QCOMPARE(window.Ui().Label2->text(), QStringLiteral("01 53 03 "));
    QCOMPARE(resets, 1);

    // Board text on the title or the Tx label is never read as markup.
    QCOMPARE(window.Ui().Label2->textFormat(), Qt::PlainText);
    QCOMPARE(window.Ui().lblHMITitle->textFormat(), Qt::PlainText);
  }

  void resetAndClsButtonsRedrawTheScreen() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    panel.FormLoad();
    const QImage& image = window.Surface().Image();

    panel.Link().Receive(
        "\x01L0\x02"
        "0\x02"
        "255\x03");
    window.Ui().cmdHMICLS->click();
    QCOMPARE(image.pixelColor(5, 5), QColor(0, 0, 255));
    window.Ui().cmdHMIReset->click();
    QCOMPARE(image.pixelColor(5, 5), QColor(0, 0, 0));
  }

  void clickingASoftButtonSendsItsText() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    panel.FormLoad();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    panel.Link().Receive(
        "\x01O5\x02"
        "2\x02"
        "2\x02"
        "3\x02"
        "10\x02Pump\x02\x02P1\x03");
    QPushButton* button = window.UserButton(4);
    QVERIFY(button != nullptr);
    QVERIFY(button->isVisible());
    QCOMPARE(button->text(), QStringLiteral("Pump"));
    const auto& record = panel.Buttons().Button(4);
    QCOMPARE(button->geometry(), QRect(qRound(record.Left / 15.0) + 2, qRound(record.Top / 15.0) + 2,
                                       qRound(record.Width / 15.0), qRound(record.Height / 15.0)));
    port.Written.clear();
    QTest::mousePress(button, Qt::LeftButton);
    QCOMPARE(port.Written, std::string());  // a plain button fires on release
    QTest::mouseRelease(button, Qt::LeftButton);
    QCOMPARE(port.Written, std::string("P1\x04"));
    QCOMPARE(window.Ui().lblTx->text(), QStringLiteral("Tx:50 31 04 "));

    // F5 is button 5 while the panel tab is in view: down holds it, up fires it.
    window.Ui().SSTab1->setCurrentIndex(korvani::app::kHmiTab);
    port.Written.clear();
    QTest::keyPress(&window, Qt::Key_F5);
    QCOMPARE(port.Written, std::string());
    QTest::keyRelease(&window, Qt::Key_F5);
    QCOMPARE(port.Written, std::string("P1\x04"));
    window.Ui().SSTab1->setCurrentIndex(korvani::app::kTerminalTab);
    QTest::keyClick(&window, Qt::Key_F5);
    QCOMPARE(port.Written, std::string("P1\x04"));  // not from another tab

    // The screen's picture, buttons and all: copied, and saved as a PNG.
    window.Ui().SSTab1->setCurrentIndex(korvani::app::kHmiTab);
    const QSize screen = window.Ui().picHMI1->size() * window.Ui().picHMI1->devicePixelRatio();
    QTest::keyClick(&window, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QGuiApplication::clipboard()->image().size(), screen);
    QTemporaryDir folder;
    board.fake.Dialogs.FileAnswer = folder.filePath(QStringLiteral("screen.png")).toStdString();
    window.Ui().cmdSaveScreen->click();
    const QImage saved(folder.filePath(QStringLiteral("screen.png")), "PNG");
    QCOMPARE(saved.size(), screen);
    QCOMPARE(saved.pixelColor(screen.width() / 2, 3),
             QGuiApplication::clipboard()->image().pixelColor(screen.width() / 2, 3));
  }

  // At the size the window opens at the screen is its set-up size; a larger window grows it,
  // the board's drawing and buttons with it, and back at the first size it is as it was.
  void theScreenGrowsWithTheWindowAndComesBack() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    panel.FormLoad();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(100);  // the fit after showing
    const double points = panel.Screen().FontPoints();
    const QSize screen = window.Ui().picHMI1->size();
    QCOMPARE(screen, QSize(388, 472));
    panel.Link().Receive(
        "\x01O5\x02"
        "2\x02"
        "2\x02"
        "3\x02"
        "10\x02Pump\x02\x02P1\x03\x01@hello\x03");
    const QImage before = window.Ui().picHMI1->grab().toImage();

    window.resize(window.size() + QSize(500, 400));
    QTRY_VERIFY(panel.Screen().FontPoints() > points);
    QVERIFY(window.Ui().picHMI1->width() > screen.width());
    QCOMPARE(window.Ui().lblHMITitle->width(), window.Ui().picHMI1->width());
    QPushButton* button = window.UserButton(4);
    const auto& record = panel.Buttons().Button(4);
    QCOMPARE(button->geometry(), QRect(qRound(record.Left / 15.0) + 2, qRound(record.Top / 15.0) + 2,
                                       qRound(record.Width / 15.0), qRound(record.Height / 15.0)));
    port.Written.clear();
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(port.Written, std::string("P1\x04"));

    window.resize(window.sizeHint());
    QTRY_COMPARE(panel.Screen().FontPoints(), points);
    QCOMPARE(window.Ui().picHMI1->size(), screen);
    QCOMPARE(window.Ui().picHMI1->grab().toImage(), before);

    // Full screen: the screen alone, as large as the display takes it; F11 and Esc return.
    for (const Qt::Key back : {Qt::Key_F11, Qt::Key_Escape}) {
      window.Ui().cmdFullScreen->click();
      QVERIFY(window.isFullScreen());
      QVERIFY(window.Ui().fraPanelControls->isHidden());
      QVERIFY(window.Ui().SSTab1->tabBar()->isHidden());
      QTRY_VERIFY(panel.Screen().FontPoints() > points);
      QTest::keyClick(&window, back);
      QVERIFY(!window.isFullScreen());
      QVERIFY(!window.Ui().fraPanelControls->isHidden());
      QVERIFY(!window.Ui().fraLogging->isHidden());
      window.resize(window.sizeHint());
      QTRY_COMPARE(panel.Screen().FontPoints(), points);
    }
  }

  void noticesAndTheEntryFrameShowBoardTextPlainly() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    panel.FormLoad();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const auto& ui = window.Ui();

    panel.Link().Receive("\x01q<b>Hello</b>\x03");
    QVERIFY(ui.fraToastMsg->isVisible());
    QCOMPARE(ui.lblToastMsg->textFormat(), Qt::PlainText);
    QVERIFY(ui.lblToastMsg->text().contains(QStringLiteral("\"<b>Hello</b>\"")));
    QTest::mouseClick(ui.lblDismissToastMsg, Qt::LeftButton);
    QVERIFY(!ui.fraToastMsg->isVisible());

    panel.Link().Receive(
        "\x01TSet speed\x02"
        "10\x02"
        "250\x02SP\x03");
    QVERIFY(ui.fraUserDataInput->isVisible());
    QCOMPARE(ui.lblHMIDataEntryPrompt->textFormat(), Qt::PlainText);
    port.Written.clear();
    QTest::keyClicks(ui.txtHMIDataEntry, QStringLiteral("1x2-0"));
    QCOMPARE(ui.txtHMIDataEntry->text(), QStringLiteral("120"));
    QTest::keyClick(ui.txtHMIDataEntry, Qt::Key_Return);
    QCOMPARE(port.Written, std::string("SP\x05"
                                       "120\x04"));
    QVERIFY(!ui.fraUserDataInput->isVisible());
  }

  void aFailureInsideASlotIsToldAndTheProgramGoesOn() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    panel.FormLoad();
    const auto& ui = window.Ui();
    panel.Link().Receive("\x01X21\x03");  // the width controls
    ui.txtSetWidth->setText(QStringLiteral("-3"));
    ui.cmdHMISetWidth->click();  // refused: nothing changes
    QCOMPARE(panel.Screen().ScreenColumns(), 40);
    QVERIFY(ui.StatusBar1->currentMessage().isEmpty());

    // Whatever a core call throws from a button's signal or a mouse event is caught and told.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    panel.Link().Receive(
        "\x01O9\x02"
        "1\x02"
        "1\x02"
        "3\x02"
        "6\x02Go\x02\x02G\x03");
    port.ThrowOnWrite = true;
    ui.cmdHMIConnect->click();
    QVERIFY(ui.StatusBar1->currentMessage().contains(QStringLiteral("the port's driver failed")));
    ui.StatusBar1->clearMessage();
    QTest::mouseClick(window.UserButton(8), Qt::LeftButton);
    QVERIFY(ui.StatusBar1->currentMessage().contains(QStringLiteral("the port's driver failed")));
    // F11 lets go of a button held by its key, which tells the board.
    port.ThrowOnWrite = false;
    QTest::keyPress(&window, Qt::Key_F1);
    port.ThrowOnWrite = true;
    ui.StatusBar1->clearMessage();
    QTest::keyClick(&window, Qt::Key_F11);
    QVERIFY(ui.StatusBar1->currentMessage().contains(QStringLiteral("the port's driver failed")));
    port.ThrowOnWrite = false;
    window.SetFullScreen(false);

    // And from a timer.
    ui.StatusBar1->clearMessage();
    korvani::ui::QtTimer timer(window.Faults());
    timer.SetTickHandler([] { throw std::runtime_error("the board's table is damaged"); });
    timer.SetInterval(1);
    timer.SetEnabled(true);
    QTRY_VERIFY(ui.StatusBar1->currentMessage().contains(QStringLiteral("the board's table is damaged")));
    timer.SetEnabled(false);
    timer.SetInterval(0);  // a window timer at 0 stays stopped
    timer.SetEnabled(true);
    QVERIFY(!timer.Enabled());
  }

  // Ctrl+C where the program was started ends it as the session's end does: by closing the
  // window, which saves the settings, and not by dying with the logs' kept text unwritten.
  void anInterruptClosesTheWindowAsTheSessionsEndDoes() {
#ifdef Q_OS_WIN
    QSKIP("no signals");
#else
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    panel.FormLoad();
    window.show();
    korvani::ui::CloseOnSessionEnd(window);
    for (const int signal : {SIGINT, SIGTERM}) {
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      std::raise(signal);
      QTRY_VERIFY(!window.isVisible());
    }
#endif
  }

  void barGraphsFillExactlyTheirShare() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    panel.FormLoad();
    panel.Link().Receive(
        "\x01K255\x02"
        "0\x02"
        "0\x03\x01L0\x02"
        "0\x02"
        "255\x03");  // red on blue
    const auto& screen = panel.Screen();
    const int left = qRound(std::floor(screen.CellWidth()) * 2 / 15.0);
    const int width = qRound(std::floor(screen.CellWidth()) * 10 / 15.0);
    const int y = qRound(std::floor(screen.CellHeight()) * 5 / 15.0) + 2;
    const auto count = [&](const QColor& colour) {
      const QImage& image = window.Surface().Image();  // with what was drawn since
      int n = 0;
      for (int x = 0; x < image.width(); ++x) {
        n += image.pixelColor(x, y) == colour ? 1 : 0;
      }
      return n;
    };
    const struct {
      const char* Value;
      int Red;
    } cases[] = {{"0", 0}, {"0.3", qRound(width * 0.3)}, {"1", width}, {"-1", 0}};
    for (const auto& c : cases) {
      panel.Link().Receive(std::string("\x01Q5\x02"
                                       "2\x02"
                                       "1\x02"
                                       "10\x02") +
                           c.Value + "\x03");
      QCOMPARE(count(QColor(255, 0, 0)), c.Red);
      QCOMPARE(count(QColor(0, 0, 255)), width - c.Red);
      QCOMPARE(window.Surface().Image().pixelColor(left + width, y),
               QColor(0, 0, 0));  // nothing past the bar
    }
  }

  void aPasteThatIsNotAllDigitsIsRefusedWhole() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    panel.FormLoad();
    const auto& ui = window.Ui();
    panel.Link().Receive("\x01TSet\x02\x02\x02S\x03");
    QTest::keyClicks(ui.txtHMIDataEntry, QStringLiteral("7"));
    int beeps = board.fake.Dialogs.Beeps;
    for (const char* pasted : {"1.5", "-5", "1e3"}) {
      QGuiApplication::clipboard()->setText(QString::fromLatin1(pasted));
      ui.txtHMIDataEntry->paste();
      QCOMPARE(ui.txtHMIDataEntry->text(), QStringLiteral("7"));
      QCOMPARE(board.fake.Dialogs.Beeps, ++beeps);
    }
    QGuiApplication::clipboard()->setText(QStringLiteral("25"));
    ui.txtHMIDataEntry->paste();
    QCOMPARE(ui.txtHMIDataEntry->text(), QStringLiteral("725"));
  }

  // Each box of the Line frame sets its part, typed speeds included, and the quick options
  // and the boxes always show the same line.
  void theLineFrameAndTheQuickOptionsShowAndSetTheSameLine() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    panel.FormLoad();
    const auto& ui = window.Ui();
    QVERIFY(port.Open);
    QCOMPARE(ui.cmbSpeed->currentText(), QStringLiteral("38400"));
    QVERIFY(ui.optBaud[7]->isChecked());

    const auto pick = [](QComboBox* box, int index) {
      box->setCurrentIndex(index);
      emit box->activated(index);
    };
    pick(ui.cmbDataBits, 2);     // 7
    pick(ui.cmbParity, 4);       // Space
    pick(ui.cmbStopBits, 2);     // 2
    pick(ui.cmbFlow, 2);         // XON/XOFF
    pick(ui.cmbLinesOnOpen, 2);  // DTR raised, RTS low
    QCOMPARE(QString::fromStdString(korvani::terminal::SettingsText(port.Given)),
             QStringLiteral("38400,S,7,2"));
    QCOMPARE(port.Given.Flow, korvani::terminal::FlowControl::XonXoff);
    QVERIFY(port.Given.DtrOnOpen);
    QVERIFY(!port.Given.RtsOnOpen);
    QCOMPARE(ui.grpCharacter->checkedId(), -1);

    // Typed in the shown window, as a user does: taken as typed, never completed from the list
    // (2,500,000 is listed).
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ui.SSTab1->setCurrentIndex(korvani::app::kSettingsTab);
    ui.cmbSpeed->setFocus();
    ui.cmbSpeed->lineEdit()->clear();
    QTest::keyClicks(ui.cmbSpeed->lineEdit(), QStringLiteral("250000"));
    QTest::keyClick(ui.cmbSpeed->lineEdit(), Qt::Key_Return);
    QCOMPARE(QString::fromStdString(korvani::terminal::SettingsText(port.Given)),
             QStringLiteral("250000,S,7,2"));
    QCOMPARE(ui.grpBaud->checkedId(), -1);

    ui.optCharacter[1]->click();  // E,7,1
    ui.optBaud[5]->click();       // 9600
    QCOMPARE(QString::fromStdString(korvani::terminal::SettingsText(port.Given)),
             QStringLiteral("9600,E,7,1"));
    QCOMPARE(ui.cmbSpeed->currentText(), QStringLiteral("9600"));
    QCOMPARE(ui.cmbParity->currentText(), QStringLiteral("Even"));
    QCOMPARE(ui.cmbStopBits->currentText(), QStringLiteral("1"));

    pick(ui.cmbFlow, 1);  // RTS/CTS: the driver's RTS
    QVERIFY(ui.chkDtr->isEnabled());
    QVERIFY(!ui.chkRts->isEnabled());
    QCOMPARE(ui.lblPortStatus->text(), QStringLiteral("COM3: 9600,E,7,1 RTS/CTS Open"));
  }

  // The console: keys typed go to the port as a terminal sends them (and "Show sent" sees
  // them); a board's colours are drawn in the cells its escape sequences name.
  void theConsoleSendsKeysAsTypedAndDrawsTheBoardsColours() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    panel.Controls().SetTerminalMode(true);  // as --console makes it
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
    QVERIFY(QString::fromStdString(panel.Receive().ViewText()).contains(QStringLiteral("help")));

    port.Arrive("\x1b[41m" + std::string(20, ' ') + "\x1b[0m\x1b[10;30H\x1b[42mX\x1b[0m");
    const QRect red = ui.txtConsole->CellRect(0, 19);
    const QRect green = ui.txtConsole->CellRect(9, 29);
    QTRY_COMPARE(ui.txtConsole->viewport()->grab().toImage().pixelColor(red.center()), QColor(224, 0, 0));
    const QImage shown = ui.txtConsole->viewport()->grab().toImage();
    QCOMPARE(shown.pixelColor(ui.txtConsole->CellRect(0, 20).center()), QColor(0, 0, 0));
    QCOMPARE(shown.pixelColor(green.topLeft()), QColor(0, 224, 0));

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

  void lineEndsBecomeLineBreaksInThePane() {
    QCOMPARE(korvani::ui::ToPaneText("a\r\nb\rc\nd"), QStringLiteral("a\nb\nc\nd"));
    QCOMPARE(korvani::ui::ToPaneText(std::string_view("\xE9", 1)), QString(QChar(0xE9)));
  }
};

QTEST_MAIN(FrmTerminalTest)
#include "frm_terminal_test.moc"
