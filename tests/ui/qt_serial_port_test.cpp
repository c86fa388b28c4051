// The real QSerialPort adapter against a pseudo-terminal pair: the test plays the board on
// the master side, the adapter opens the slave path.
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <QSignalSpy>
#include <QTest>

#include <string>

#include "app/panel.h"
#include "fakes/fake_panel_view.h"
#include "fakes/fake_surface.h"
#include "terminal/hex_notation.h"
#include "ui/qt_serial_port.h"

using korvani::ui::QtSerialPort;

namespace {

class PtyPair {
 public:
  PtyPair() {
    char name[256] = {};
    if (openpty(&Master, &Slave, name, nullptr, nullptr) == 0) {
      termios attributes{};
      tcgetattr(Slave, &attributes);
      cfmakeraw(&attributes);
      tcsetattr(Slave, TCSANOW, &attributes);
      SlavePath = QString::fromLocal8Bit(name);
    }
  }
  ~PtyPair() {
    if (Master >= 0) {
      close(Master);
    }
    if (Slave >= 0) {
      close(Slave);
    }
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool WriteAll(const std::string& bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = write(Master, bytes.data() + done, bytes.size() - done);
      if (n <= 0) {
        return false;
      }
      done += static_cast<std::size_t>(n);
    }
    return true;
  }

  std::string ReadSome(int timeoutMs) const {
    std::string got;
    for (int waited = 0; waited < timeoutMs; waited += 10) {
      char buffer[512];
      const int flags = fcntl(Master, F_GETFL);
      fcntl(Master, F_SETFL, flags | O_NONBLOCK);
      const ssize_t n = read(Master, buffer, sizeof buffer);
      if (n > 0) {
        got.append(buffer, static_cast<std::size_t>(n));
        continue;
      }
      if (!got.empty()) {
        break;
      }
      QTest::qWait(10);
    }
    return got;
  }

  int Master = -1;
  int Slave = -1;
  QString SlavePath;
};

}  // namespace

class QtSerialPortTest : public QObject {
  Q_OBJECT

 private slots:
  void everyByteValueArrivesUnchangedInTheReceivePath() {
    PtyPair pty;
    QVERIFY(!pty.SlavePath.isEmpty());
    QtSerialPort port;
    korvani::fakes::FakePanelView view;
    korvani::fakes::FakeSurface surface;
    korvani::fakes::FakeDialogs dialogs;
    korvani::app::Panel panel(port, view, surface, dialogs);
    port.SetPortPath(200, pty.SlavePath);
    panel.ComPortNumber = 200;
    QVERIFY2(panel.OpenPort(), port.LastError().c_str());
    QCOMPARE(QString::fromStdString(view.PortStatus), QStringLiteral("COM200: 38400,N,8,1 Open"));

    std::string all;
    for (int code = 0; code < 256; ++code) {
      all.push_back(static_cast<char>(code));
    }
    QVERIFY(pty.WriteAll(all));
    QTRY_COMPARE_WITH_TIMEOUT(panel.Receive().RxHexText().size(), std::size_t{256 * 3 + 10 * 2}, 5000);

    std::string expectedHex;
    for (int code = 0; code < 256; ++code) {
      static const char* const kDigits = "0123456789ABCDEF";
      expectedHex += kDigits[code >> 4];
      expectedHex += kDigits[code & 15];
      expectedHex += ' ';
      if (code % 25 == 24) {
        expectedHex += "\r\n";
      }
    }
    QCOMPARE(std::string(panel.Receive().RxHexText()), expectedHex);
    QCOMPARE(std::string(panel.Receive().RxAsciiText()), korvani::terminal::AsciiToDisplay(all));
  }

  void writesReachTheOtherEndByteForByte() {
    PtyPair pty;
    QtSerialPort port;
    port.SetPortPath(200, pty.SlavePath);
    port.SetPortNumber(200);
    port.SetSettings("38400,N,8,1");
    QVERIFY(port.SetOpen(true));
    const std::string bytes(
        "\x00\x04\xFF"
        "abc",
        6);
    QVERIFY(port.Write(bytes));
    QCOMPARE(pty.ReadSome(2000), bytes);
  }

  void missingDeviceFailsToOpenAndSaysWhy() {
    QtSerialPort port;
    port.SetPortPath(200, QStringLiteral("/dev/korvani-no-such-device"));
    port.SetPortNumber(200);
    port.SetSettings("38400,N,8,1");
    QVERIFY(!port.SetOpen(true));
    QVERIFY(!port.IsOpen());
    QVERIFY(port.LastError().find("/dev/korvani-no-such-device") != std::string::npos);
    QVERIFY(!port.Write("x"));

    port.SetPortNumber(7);  // nothing registered under it
    QVERIFY(!port.SetOpen(true));
  }

  void unusableSettingsRefuseToOpen() {
    PtyPair pty;
    QtSerialPort port;
    port.SetPortPath(200, pty.SlavePath);
    port.SetPortNumber(200);
    port.SetSettings("fast,N,8,1");
    QVERIFY(!port.SetOpen(true));
    QVERIFY(!port.IsOpen());
  }
};

QTEST_GUILESS_MAIN(QtSerialPortTest)
#include "qt_serial_port_test.moc"
