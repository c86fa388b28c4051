// The main window shows what the panel decides and forwards the user's clicks.
#include <QSignalSpy>
#include <QTest>

#include "app/panel.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_serial_port.h"
#include "fakes/fake_surface.h"
#include "ui/frm_terminal.h"

using korvani::ui::FrmTerminal;

class FrmTerminalTest : public QObject {
  Q_OBJECT

 private slots:
  void opensOnTheHmiTabWithThreeTabs() {
    korvani::fakes::FakeSerialPort port;
    FrmTerminal window;
    korvani::fakes::FakePlatform fake;
    fake.Devices.Names = {"USB Serial Port (COM3)"};
    korvani::app::Panel panel(fake.With(port, window.Surface()), window);
    window.Attach(panel);
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

  void paneShowsNewestTextAtDisplayRateNotPerChunk() {
    korvani::fakes::FakeSerialPort port;
    port.Open = true;
    FrmTerminal window;
    korvani::fakes::FakePlatform fake;
    fake.Devices.Names = {"USB Serial Port (COM3)"};
    korvani::app::Panel panel(fake.With(port, window.Surface()), window);
    window.Attach(panel);
    QSignalSpy rebuilt(window.Ui().txtRxData, &QPlainTextEdit::textChanged);

    for (int i = 0; i < 200; ++i) {
      port.Arrive("line " + std::to_string(i) + "\r\n");
    }
    QTRY_VERIFY(window.Ui().txtRxData->toPlainText().endsWith(QStringLiteral("line 199\n")));
    QVERIFY(rebuilt.count() <= 2);
    QVERIFY(window.Ui().txtRxData->toPlainText().startsWith(QStringLiteral("line 0\n")));
  }

  void buttonsDriveFreezeClearAndTheHexView() {
    korvani::fakes::FakeSerialPort port;
    port.Open = true;
    FrmTerminal window;
    korvani::fakes::FakePlatform fake;
    fake.Devices.Names = {"USB Serial Port (COM3)"};
    korvani::app::Panel panel(fake.With(port, window.Surface()), window);
    window.Attach(panel);
    const auto& ui = window.Ui();

    port.Arrive("AB");
    QTRY_COMPARE(ui.txtRxData->toPlainText(), QStringLiteral("AB"));
    ui.cmdRxFreeze->click();
    QCOMPARE(ui.cmdRxFreeze->text(), QStringLiteral("Update"));
    port.Arrive("C");
    QTest::qWait(2 * FrmTerminal::kRxRefreshMs);
    QCOMPARE(ui.txtRxData->toPlainText(), QStringLiteral("AB"));

    ui.optRxHex->click();
    QTRY_COMPARE(ui.txtRxData->toPlainText(), QStringLiteral("41 42 "));
    ui.cmdRxFreeze->click();
    QCOMPARE(ui.cmdRxFreeze->text(), QStringLiteral("Freeze"));
    port.Arrive("D");
    QTRY_COMPARE(ui.txtRxData->toPlainText(), QStringLiteral("41 42 43 44 "));

    ui.cmdRxClear->click();
    QTRY_COMPARE(ui.txtRxData->toPlainText(), QString());
  }

  void testButtonShowsInjectedBytesInHex() {
    korvani::fakes::FakeSerialPort port;
    FrmTerminal window;
    korvani::fakes::FakePlatform fake;
    fake.Devices.Names = {"USB Serial Port (COM3)"};
    korvani::app::Panel panel(fake.With(port, window.Surface()), window);
    window.Attach(panel);
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
    korvani::fakes::FakeSerialPort port;
    FrmTerminal window;
    korvani::fakes::FakePlatform fake;
    fake.Devices.Names = {"USB Serial Port (COM3)"};
    korvani::app::Panel panel(fake.With(port, window.Surface()), window);
    window.Attach(panel);
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

  void lineEndsBecomeLineBreaksInThePane() {
    QCOMPARE(FrmTerminal::ToPaneText("a\r\nb\rc\nd"), QStringLiteral("a\nb\nc\nd"));
    QCOMPARE(FrmTerminal::ToPaneText(std::string_view("\xE9", 1)), QString(QChar(0xE9)));
  }
};

QTEST_MAIN(FrmTerminalTest)
#include "frm_terminal_test.moc"
