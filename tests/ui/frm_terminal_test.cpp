// SPDX-License-Identifier: GPL-3.0-or-later
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

#include "adapters/qt_timer.h"
#include "app/panel.h"
#include "app/version.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_serial_port.h"
#include "fakes/fake_surface.h"
#include "ui/frm_terminal.h"
#include "ui/session_end.h"
#include "ui/tab_building.h"
#include "ui/window_on_fakes.h"

#ifndef Q_OS_WIN
#include <csignal>
#endif

using korvani::ui::FrmTerminal;

class FrmTerminalTest : public QObject {
  Q_OBJECT

 private slots:
  void opensOnTheHmiTabWithItsTabs() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    panel.FormLoad();
    const auto& ui = window.Ui();
    QCOMPARE(
        window.windowTitle(),
        QString::fromStdString("Korvani standalone " + korvani::app::VersionText() + "      Vexel Vavadivu"));
    QCOMPARE(ui.lblHMITitle->text(), QStringLiteral("--"));
    QCOMPARE(ui.lblHMITitle->width(), ui.picHMI1->width());
    QCOMPARE(ui.lblTx->text(), QStringLiteral("Tx: "));
    QCOMPARE(ui.SSTab1->count(), 5);
    QCOMPARE(ui.SSTab1->tabText(0), QStringLiteral("Terminal"));
    QCOMPARE(ui.SSTab1->tabText(1), QStringLiteral("Korvani (tm)"));
    QCOMPARE(ui.SSTab1->tabText(2), QStringLiteral("Settings"));
    QCOMPARE(ui.SSTab1->tabText(3), QStringLiteral("Plot"));
    QCOMPARE(ui.SSTab1->tabText(4), QStringLiteral("Script"));
    QCOMPARE(ui.SSTab1->currentIndex(), 1);
    QVERIFY(ui.optRxASCII->isChecked());
    QCOMPARE(ui.cmdRxFreeze->text(), QStringLiteral("Freeze"));
  }

  void testButtonShowsInjectedBytesInHex() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    int resets = 0;
    panel.Current().Link().Commands().Bind('S',
                                           [&resets](const korvani::hmi::link::Arguments&) { ++resets; });

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

    panel.Current().Link().Receive(
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

    panel.Current().Link().Receive(
        "\x01O5\x02"
        "2\x02"
        "2\x02"
        "3\x02"
        "10\x02Pump\x02\x02P1\x03");
    QPushButton* button = window.UserButton(4);
    QVERIFY(button != nullptr);
    QVERIFY(button->isVisible());
    QCOMPARE(button->text(), QStringLiteral("Pump"));
    const auto& record = panel.Current().Buttons().Button(4);
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
    const double points = panel.Current().Screen().FontPoints();
    const QSize screen = window.Ui().picHMI1->size();
    QCOMPARE(screen, QSize(388, 472));
    panel.Current().Link().Receive(
        "\x01O5\x02"
        "2\x02"
        "2\x02"
        "3\x02"
        "10\x02Pump\x02\x02P1\x03\x01@hello\x03");
    const QImage before = window.Ui().picHMI1->grab().toImage();

    window.resize(window.size() + QSize(500, 400));
    QTRY_VERIFY(panel.Current().Screen().FontPoints() > points);
    QVERIFY(window.Ui().picHMI1->width() > screen.width());
    QCOMPARE(window.Ui().lblHMITitle->width(), window.Ui().picHMI1->width());
    QPushButton* button = window.UserButton(4);
    const auto& record = panel.Current().Buttons().Button(4);
    QCOMPARE(button->geometry(), QRect(qRound(record.Left / 15.0) + 2, qRound(record.Top / 15.0) + 2,
                                       qRound(record.Width / 15.0), qRound(record.Height / 15.0)));
    port.Written.clear();
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(port.Written, std::string("P1\x04"));

    window.resize(window.sizeHint());
    QTRY_COMPARE(panel.Current().Screen().FontPoints(), points);
    QCOMPARE(window.Ui().picHMI1->size(), screen);
    QCOMPARE(window.Ui().picHMI1->grab().toImage(), before);

    // Full screen: the screen alone, as large as the display takes it; F11 and Esc return.
    for (const Qt::Key back : {Qt::Key_F11, Qt::Key_Escape}) {
      window.Ui().cmdFullScreen->click();
      QVERIFY(window.isFullScreen());
      QVERIFY(window.Ui().fraPanelControls->isHidden());
      QVERIFY(window.Ui().SSTab1->tabBar()->isHidden());
      QTRY_VERIFY(panel.Current().Screen().FontPoints() > points);
      QTest::keyClick(&window, back);
      QVERIFY(!window.isFullScreen());
      QVERIFY(!window.Ui().fraPanelControls->isHidden());
      QVERIFY(!window.Ui().fraLogging->isHidden());
      window.resize(window.sizeHint());
      QTRY_COMPARE(panel.Current().Screen().FontPoints(), points);
    }
  }

  void noticesAndTheEntryFrameShowBoardTextPlainly() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    panel.FormLoad();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const auto& ui = window.Ui();

    panel.Current().Link().Receive("\x01q<b>Hello</b>\x03");
    QVERIFY(ui.fraToastMsg->isVisible());
    QCOMPARE(ui.lblToastMsg->textFormat(), Qt::PlainText);
    QVERIFY(ui.lblToastMsg->text().contains(QStringLiteral("\"<b>Hello</b>\"")));
    QTest::mouseClick(ui.lblDismissToastMsg, Qt::LeftButton);
    QVERIFY(!ui.fraToastMsg->isVisible());

    panel.Current().Link().Receive(
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
    panel.Current().Link().Receive("\x01X21\x03");  // the width controls
    ui.txtSetWidth->setText(QStringLiteral("-3"));
    ui.cmdHMISetWidth->click();  // refused: nothing changes
    QCOMPARE(panel.Current().Screen().ScreenColumns(), 40);
    QVERIFY(ui.StatusBar1->currentMessage().isEmpty());

    // Whatever a core call throws from a button's signal or a mouse event is caught and told.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    panel.Current().Link().Receive(
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
    panel.Current().Link().Receive(
        "\x01K255\x02"
        "0\x02"
        "0\x03\x01L0\x02"
        "0\x02"
        "255\x03");  // red on blue
    const auto& screen = panel.Current().Screen();
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
      panel.Current().Link().Receive(std::string("\x01Q5\x02"
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
    panel.Current().Link().Receive("\x01TSet\x02\x02\x02S\x03");
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
    QCOMPARE(QString::fromStdString(korvani::ports::SettingsText(port.Given)), QStringLiteral("38400,S,7,2"));
    QCOMPARE(port.Given.Flow, korvani::ports::FlowControl::XonXoff);
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
    QCOMPARE(QString::fromStdString(korvani::ports::SettingsText(port.Given)),
             QStringLiteral("250000,S,7,2"));
    QCOMPARE(ui.grpBaud->checkedId(), -1);

    ui.optCharacter[1]->click();  // E,7,1
    ui.optBaud[5]->click();       // 9600
    QCOMPARE(QString::fromStdString(korvani::ports::SettingsText(port.Given)), QStringLiteral("9600,E,7,1"));
    QCOMPARE(ui.cmbSpeed->currentText(), QStringLiteral("9600"));
    QCOMPARE(ui.cmbParity->currentText(), QStringLiteral("Even"));
    QCOMPARE(ui.cmbStopBits->currentText(), QStringLiteral("1"));

    pick(ui.cmbFlow, 1);  // RTS/CTS: the driver's RTS
    QVERIFY(ui.chkDtr->isEnabled());
    QVERIFY(!ui.chkRts->isEnabled());
    QCOMPARE(ui.lblPortStatus->text(), QStringLiteral("COM3: 9600,E,7,1 RTS/CTS Open"));
  }

  void lineEndsBecomeLineBreaksInThePane() {
    QCOMPARE(korvani::ui::ToPaneText("a\r\nb\rc\nd"), QStringLiteral("a\nb\nc\nd"));
    QCOMPARE(korvani::ui::ToPaneText(std::string_view("\xE9", 1)), QString(QChar(0xE9)));
  }
};

QTEST_MAIN(FrmTerminalTest)
#include "frm_terminal_test.moc"
