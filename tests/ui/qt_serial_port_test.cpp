// SPDX-License-Identifier: GPL-3.0-or-later
// The real QSerialPort adapter against a pseudo-terminal pair: the test plays the board on
// the master side, the adapter opens the slave path.
#include <poll.h>
#include <unistd.h>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "adapters/qt_serial_port.h"
#include "app/panel.h"
#include "base/hex_notation.h"
#include "fakes/fake_panel_view.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_surface.h"
#include "fakes/sysfs_tree.h"
#include "platform/linux/sysfs_device_source.h"
#include "ui/pty_pair.h"
#include "ui/slave_line.h"

using korvani::ui::QtSerialPort;

using korvani::testing::PtyPair;

// A panel on the real serial port, everything else faked.
struct PanelOnPort {
  explicit PanelOnPort(const QString& path)
      : PanelOnPort(
            [path](std::int16_t number) { return number == 200 ? path.toStdString() : std::string(); }, 200) {
  }
  PanelOnPort(QtSerialPort::PathResolver resolver, int number) {
    port.SetPathResolver(std::move(resolver));
    fake.Devices.Names = {"Board (COM" + std::to_string(number) + ")"};
  }
  QtSerialPort port;
  korvani::fakes::FakePanelView view;
  korvani::fakes::FakePlatform fake;
  korvani::app::Panel panel{fake.With(port, fake.Surface), view};
};

// The port on the pty's slave as COM200 at 38400 baud, open.
bool OpenOn(QtSerialPort& port, const PtyPair& pty) {
  const QString path = pty.SlavePath;
  port.SetPathResolver([path](std::int16_t) { return path.toStdString(); });
  port.SetPortNumber(200);
  port.SetLine(korvani::ports::LineSettings{38400});
  return port.SetOpen(true);
}

class QtSerialPortTest : public QObject {
  Q_OBJECT

 private slots:
  void everyByteValueArrivesUnchangedInTheReceivePath() {
    PtyPair pty;
    QVERIFY(!pty.SlavePath.isEmpty());
    PanelOnPort board(pty.SlavePath);
    board.panel.FormLoad();
    QCOMPARE(QString::fromStdString(board.view.PortStatus), QStringLiteral("COM200: 38400,N,8,1 Open"));

    std::string all;
    for (int code = 0; code < 256; ++code) {
      all.push_back(static_cast<char>(code));
    }
    QVERIFY(pty.WriteAll(all));
    QTRY_COMPARE_WITH_TIMEOUT(board.panel.Current().Receive().History().ByteCount(), std::uint64_t{256},
                              5000);

    std::string expectedHex;
    for (int code = 0; code < 256; ++code) {
      static const char* const kDigits = "0123456789ABCDEF";
      expectedHex += kDigits[code >> 4];
      expectedHex += kDigits[code & 15];
      expectedHex += ' ';
      if (code % 25 == 24 || code == 255) {
        expectedHex += "\r\n";
      }
    }
    // The ASCII view's lines end at the LF (10) and at the CR (13) no LF follows.
    using korvani::base::AsciiToDisplay;
    QCOMPARE(board.panel.Current().Receive().ViewText(), AsciiToDisplay(all.substr(0, 10)) + "\r\n" +
                                                             AsciiToDisplay(all.substr(11, 2)) + "\r\n" +
                                                             AsciiToDisplay(all.substr(14)) + "\r\n");
    board.panel.Current().Receive().ShowHex();
    QCOMPARE(board.panel.Current().Receive().ViewText(), expectedHex);
  }

  void boardCommandsGetTheirRepliesOnTheWire() {
    PtyPair pty;
    PanelOnPort board(pty.SlavePath);
    board.panel.FormLoad();
    QVERIFY(pty.WriteAll("\x01V40\x02OK\x03"));
    QCOMPARE(pty.ReadSome(3000), std::string("OK\x04"));
    QVERIFY(pty.WriteAll("\x01r\x03"));
    QCOMPARE(pty.ReadSome(3000), std::string("\x07\x05"
                                             "2612071530450\x04"));
    board.panel.Current().Connect();
    QCOMPARE(pty.ReadSome(3000), std::string("\x06\x04"));
  }

  // Twenty unplugs in a row: each is noticed, the port reopens at the same path, and
  // nothing received before a loss is missing from the views or the log.
  void replugIsNoticedAndThePortReopensAtTheSamePath() {
    QTemporaryDir folder;
    const QString link = folder.filePath(QStringLiteral("board"));
    auto pty = std::make_unique<PtyPair>();
    QVERIFY(QFile::link(pty->SlavePath, link));
    PanelOnPort board(link);
    board.panel.Current().Receive().LogSettings().LogAscii = true;
    board.panel.Current().Receive().LogSettings().AsciiFileName =
        folder.filePath(QStringLiteral("ascii.log")).toStdString();
    board.panel.FormLoad();
    QVERIFY(board.port.IsOpen());

    std::string received;
    for (int round = 0; round < 20; ++round) {
      const std::string before = "before loss " + std::to_string(round) + "\r\n";
      QVERIFY(pty->WriteAll(before));
      // Received first: a pty's hang-up flushes what the program has not yet read.
      QTRY_VERIFY_WITH_TIMEOUT(board.panel.Current().Receive().ViewText().find(before) != std::string::npos,
                               5000);
      pty.reset();  // the other end goes away
      QTRY_VERIFY_WITH_TIMEOUT(!board.port.IsOpen(), 5000);
      QVERIFY(board.view.PortStatus.rfind("? ", 0) == 0);
      QVERIFY(!board.view.PortProblem.empty());
      QVERIFY(board.view.OpenDown);  // still wanted open

      pty = std::make_unique<PtyPair>();
      QFile::remove(link);
      QVERIFY(QFile::link(pty->SlavePath, link));
      QTRY_VERIFY_WITH_TIMEOUT((board.panel.Current().WatchPort(), board.port.IsOpen()), 5000);
      QCOMPARE(QString::fromStdString(board.view.PortStatus), QStringLiteral("COM200: 38400,N,8,1 Open"));

      const std::string after = "after replug " + std::to_string(round) + "\r\n";
      QVERIFY(pty->WriteAll(after));
      QTRY_VERIFY_WITH_TIMEOUT(board.panel.Current().Receive().ViewText().find(after) != std::string::npos,
                               5000);
      QVERIFY(board.panel.Current().Receive().ViewText().find(before) != std::string::npos);
      received += before + after;
    }
    QCOMPARE(board.panel.Current().Receive().ViewText(), received);
    QFile log(folder.filePath(QStringLiteral("ascii.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll().toStdString(), received);
  }

  // A USB adapter pulled out and plugged in again after another one took its name: it keeps
  // its COM number by its identity, and the open port comes back on its new name.
  void anAdapterBackUnderAnotherNameIsReopenedUnderItsNumber() {
    QTemporaryDir folder;
    korvani::fakes::SysfsTree tree(folder.path().toStdString());
    auto first = std::make_unique<PtyPair>();
    tree.Plug("ttyUSB0", "1-1", "0403", "6001", "A50285BI", first->SlavePath.toStdString());
    korvani::platform::SysfsDeviceSource source(tree.Sys(), tree.Dev(),
                                                folder.filePath("ids.ini").toStdString());
    PanelOnPort board([&source](std::int16_t number) { return source.DevicePath(number); }, 33);
    board.panel.FormLoad();
    QVERIFY(board.port.IsOpen());
    QVERIFY(first->WriteAll("on ttyUSB0\r\n"));
    QTRY_VERIFY(board.panel.Current().Receive().ViewText().find("on ttyUSB0") != std::string::npos);

    first.reset();
    tree.Unplug("ttyUSB0", "1-1");
    QTRY_VERIFY_WITH_TIMEOUT(!board.port.IsOpen(), 5000);
    auto other = std::make_unique<PtyPair>();
    auto again = std::make_unique<PtyPair>();
    tree.Plug("ttyUSB0", "1-2", "067b", "2303", "X1", other->SlavePath.toStdString());
    tree.Plug("ttyUSB1", "1-1", "0403", "6001", "A50285BI", again->SlavePath.toStdString());
    QTRY_VERIFY_WITH_TIMEOUT((board.panel.Current().WatchPort(), board.port.IsOpen()), 5000);
    QCOMPARE(QString::fromStdString(board.view.PortStatus), QStringLiteral("COM33: 38400,N,8,1 Open"));
    QVERIFY(again->WriteAll("on ttyUSB1\r\n"));
    QTRY_VERIFY(board.panel.Current().Receive().ViewText().find("on ttyUSB1") != std::string::npos);
  }

  // The device goes away while a megabyte is still being written: the port is closed once,
  // sends fail quietly while it is gone, and it comes back like any replug.
  void portVanishingInTheMiddleOfAWriteClosesCleanly() {
    QTemporaryDir folder;
    const QString link = folder.filePath(QStringLiteral("board"));
    auto pty = std::make_unique<PtyPair>();
    QVERIFY(QFile::link(pty->SlavePath, link));
    PanelOnPort board(link);
    board.panel.FormLoad();
    QVERIFY(board.port.IsOpen());

    QVERIFY(board.port.Write(std::string(1 << 20, 'x')));  // far more than the line holds
    QTest::qWait(50);
    pty.reset();
    QTRY_VERIFY_WITH_TIMEOUT(!board.port.IsOpen(), 5000);
    QVERIFY(board.view.PortStatus.rfind("? ", 0) == 0);
    const std::string txBefore = board.view.TxCaption;
    board.panel.Current().Connect();
    QCOMPARE(board.view.TxCaption, txBefore);  // nothing sent, nothing claimed

    pty = std::make_unique<PtyPair>();
    QFile::remove(link);
    QVERIFY(QFile::link(pty->SlavePath, link));
    QTRY_VERIFY_WITH_TIMEOUT((board.panel.Current().WatchPort(), board.port.IsOpen()), 5000);
    board.panel.Current().Connect();
    QCOMPARE(pty->ReadSome(3000), std::string("\x06\x04"));
  }

  void writesReachTheOtherEndByteForByte() {
    PtyPair pty;
    QtSerialPort port;
    QVERIFY(OpenOn(port, pty));
    const std::string bytes(
        "\x00\x04\xFF"
        "abc",
        6);
    QVERIFY(port.Write(bytes));
    QCOMPARE(pty.ReadSome(2000), bytes);
  }

  // The port reads on a thread of its own while the window's thread is busy, up to a limit,
  // and goes on once the bytes are taken: a burst far beyond the limit arrives whole and in
  // order, and reading ahead is never taken for an overflow.
  void aBurstWhileTheWindowIsBusyArrivesWhole() {
    PtyPair pty;
    QtSerialPort port;
    QVERIFY(OpenOn(port, pty));
    std::string burst(std::size_t{6} << 20, '\0');
    for (std::size_t i = 0; i < burst.size(); ++i) {
      burst[i] = static_cast<char>(i * 7 % 251);
    }
    std::string got;
    int errors = 0;
    port.SetEventHandler([&](korvani::ports::PortEvent event) {
      if (event == korvani::ports::PortEvent::Received) {
        got += port.ReadInput();
      } else {
        ++errors;
      }
    });
    std::jthread board([&pty, &burst] {                   // joined however the test ends
      for (std::size_t done = 0; done < burst.size();) {  // gives up once nothing is read for 20 s
        pollfd writable{pty.Master, POLLOUT, 0};
        if (poll(&writable, 1, 20000) <= 0) {
          return;
        }
        const ssize_t n = write(pty.Master, burst.data() + done, burst.size() - done);
        done += n > 0 ? static_cast<std::size_t>(n) : 0;
      }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // the window's thread is busy
    QVERIFY(port.BytesWaiting() > 0);
    QVERIFY2(port.BytesWaiting() < std::int64_t{2} << 20, "it reads ahead only so far");
    QTRY_COMPARE_WITH_TIMEOUT(got.size(), burst.size(), 30000);
    board.join();
    QVERIFY(got == burst);
    QCOMPARE(errors, 0);
  }

  void openFailuresSayWhyInPlainWords() {
    QtSerialPort port;
    port.SetPathResolver([](std::int16_t number) {
      return number == 200 ? std::string("/dev/korvani-no-such-device") : std::string();
    });
    port.SetPortNumber(200);
    port.SetLine(korvani::ports::LineSettings{38400});
    QVERIFY(!port.SetOpen(true));
    QVERIFY(!port.IsOpen());
    QCOMPARE(QString::fromStdString(port.LastError()),
             QStringLiteral("/dev/korvani-no-such-device: no such device"));
    QVERIFY(!port.Write("x"));

    port.SetPortNumber(7);  // nothing on this machine under it
    QVERIFY(!port.SetOpen(true));
    QCOMPARE(QString::fromStdString(port.LastError()), QStringLiteral("COM7 is not on this machine"));

    // A device that exists but is no serial port: the reason is the failed port's own.
    QTemporaryFile notAPort;
    QVERIFY(notAPort.open());
    const std::string path = notAPort.fileName().toStdString();
    port.SetPathResolver([path](std::int16_t) { return path; });
    port.SetPortNumber(200);
    QVERIFY(!port.SetOpen(true));
    const QString reason = QString::fromStdString(port.LastError());
    QVERIFY2(reason.startsWith(notAPort.fileName() + QStringLiteral(": ")), qPrintable(reason));
    QVERIFY2(!reason.contains(QStringLiteral("Unknown error")), qPrintable(reason));
    QVERIFY2(reason.size() > notAPort.fileName().size() + 2, qPrintable(reason));
  }

  // The line options as the command line gives them reach the kernel's termios of the pty,
  // read back by the test itself, and a second start without options keeps them. A pty
  // takes any speed, two stop bits and both flow controls, but no 1.5 stop bits.
  void lineOptionsReachThePtyAndSurviveARestart_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("baud");
    QTest::addColumn<bool>("twoStopBits");
    QTest::addColumn<bool>("rtsCts");
    QTest::addColumn<bool>("xonXoff");
    QTest::addColumn<QString>("status");
    QTest::newRow("115200") << QStringList{"--baud", "115200"} << 115200 << false << false << false
                            << "COM200: 115200,N,8,1 Open";
    QTest::newRow("250000 exactly") << QStringList{"--baud", "250000"} << 250000 << false << false << false
                                    << "COM200: 250000,N,8,1 Open";
    QTest::newRow("8N2 RTS/CTS") << QStringList{"--format", "8N2", "--flow", "rtscts"} << 38400 << true
                                 << true << false << "COM200: 38400,N,8,2 RTS/CTS Open";
    QTest::newRow("XON/XOFF at 4000000") << QStringList{"--baud", "4000000", "--flow", "xonxoff"} << 4000000
                                         << false << false << true << "COM200: 4000000,N,8,1 XON/XOFF Open";
    QTest::newRow("1.5 stop bits refused")
        << QStringList{"--format", "8N1.5"} << 0 << false << false << false << "? 38400,N,8,1.5 Closed";
  }
  void lineOptionsReachThePtyAndSurviveARestart() {
    QFETCH(QStringList, options);
    QFETCH(int, baud);
    QFETCH(bool, twoStopBits);
    QFETCH(bool, rtsCts);
    QFETCH(bool, xonXoff);
    QFETCH(QString, status);
    QTemporaryDir settings;
    PtyPair pty;
    korvani::ports::LineOptions line;
    for (qsizetype i = 0; i + 1 < options.size(); i += 2) {
      QCOMPARE(korvani::ports::TakeLineOption(options[i].toStdString(), options[i + 1].toStdString(), line),
               std::string());
    }
    for (const bool withOptions : {true, false}) {
      PanelOnPort board(pty.SlavePath);
      board.fake.Env = {{"APPDATA", settings.path().toStdString()}};
      if (withOptions) {
        board.panel.SetCommandLineLine(line);
      }
      board.panel.FormLoad();
      QCOMPARE(QString::fromStdString(board.view.PortStatus), status);
      if (baud == 0) {
        QVERIFY2(board.view.PortProblem.find("1.5 stop bits are not available") != std::string::npos,
                 board.view.PortProblem.c_str());
        return;
      }
      const korvani::testing::SlaveLine kernel = korvani::testing::ReadSlaveLine(pty.Slave);
      QCOMPARE(kernel.Baud, baud);
      QCOMPARE(kernel.DataBits, 8);
      QCOMPARE(kernel.TwoStopBits, twoStopBits);
      QCOMPARE(kernel.RtsCts, rtsCts);
      QCOMPARE(kernel.XonXoff, xonXoff);
      board.panel.SaveSettings();
      // The pty keeps what the first start set: plain 9600,N,8,1 again before the second.
      termios plain{};
      tcgetattr(pty.Slave, &plain);
      cfmakeraw(&plain);
      plain.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | CRTSCTS);
      plain.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF);
      cfsetspeed(&plain, B9600);
      QCOMPARE(tcsetattr(pty.Slave, TCSANOW, &plain), 0);
      QCOMPARE(korvani::testing::ReadSlaveLine(pty.Slave).Baud, 9600);
    }
  }

  void unusableSettingsRefuseToOpen() {
    PtyPair pty;
    QtSerialPort port;
    const QString path = pty.SlavePath;
    port.SetPathResolver([path](std::int16_t) { return path.toStdString(); });
    port.SetPortNumber(200);
    port.SetLine(korvani::ports::LineSettings{38400, 9});  // nine data bits
    QVERIFY(!port.SetOpen(true));
    QVERIFY(!port.IsOpen());
  }
};

QTEST_GUILESS_MAIN(QtSerialPortTest)
#include "qt_serial_port_test.moc"
