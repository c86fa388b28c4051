// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program on the slave side of a pseudo-terminal pair (or connected to a TCP server
// on loopback, KORVANI_BOARD_OVER=tcp), with the test playing the board on the other end: the
// end-to-end test's fixture.
#pragma once

#include <QCheckBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "adapters/qt_drawing_surface.h"
#include "adapters/qt_network_port.h"
#include "app/settings.h"
#include "base/hex_notation.h"
#include "hmi/link/protocol.h"
#include "ports/serial_port.h"
#include "ui/korvani_app.h"
#include "ui/pty_pair.h"

using korvani::hmi::link::BoardMessage;
using korvani::testing::PtyPair;
using korvani::testing::ReadSomeFrom;
using korvani::testing::TcpBoard;
using korvani::testing::WriteAllTo;

namespace {

using korvani::hmi::link::kEot;

[[maybe_unused]] QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The program with both terminal logs on and a log folder chosen, as a user who set them
// up on the Settings tab would have it.
class Program {
 public:
  // Whether this run plays the board over the network instead of a pty.
  static bool OverNetwork() { return qEnvironmentVariable("KORVANI_BOARD_OVER") == QStringLiteral("tcp"); }

  explicit Program(bool timestamps = false)
      : Program([timestamps](korvani::app::StartOptions& options) { options.Timestamps = timestamps; }) {}

  // The options as main() would make them for "--port <the line> /T", the line a pty or
  // (`network`) the TCP board, changed by `adjust`.
  explicit Program(const std::function<void(korvani::app::StartOptions&)>& adjust,
                   bool network = OverNetwork()) {
    qputenv("XDG_CONFIG_HOME", Dir.filePath("config").toLocal8Bit());
    qputenv("KORVANI_PRODUCT_URL", "http://127.0.0.1:9/version.txt");  // refused at once
    QDir().mkpath(Dir.filePath("logs"));
    korvani::app::SettingsValues values;
    values.LogFolder = Dir.filePath("logs").toStdString();
    values.AsciiLogFileName = Dir.filePath("ascii.log").toStdString();
    values.HexLogFileName = Dir.filePath("hex.log").toStdString();
    values.LogAscii = true;
    values.LogHex = true;
    QDir().mkpath(QFileInfo(SettingsFile()).path());
    QFile settings(SettingsFile());
    settings.open(QIODevice::WriteOnly);
    settings.write(korvani::app::FormatSettings(values).c_str());
    settings.close();

    const QString port = network ? Tcp.Address() : Pty.SlavePath;
    korvani::app::StartOptions options;
    options.PortPath = port.toStdString();
    options.Arguments = {"--port", port.toStdString(), "/T"};
    adjust(options);
    App = std::make_unique<korvani::ui::KorvaniApp>(options);
    App->Start();
    BoardFd = !options.PortPath.starts_with("tcp:") ? Pty.Master : Tcp.Accept(5000);
  }

  [[nodiscard]] QString SettingsFile() const {
    return Dir.filePath("config/Korvani_by_Vexel/INIFile/Vexel32.INI");
  }
  [[nodiscard]] QString LogFile(const QString& name) const { return Dir.filePath("logs/" + name); }
  [[nodiscard]] QString AsciiLog() const { return Dir.filePath("ascii.log"); }
  [[nodiscard]] QString HexLog() const { return Dir.filePath("hex.log"); }

  korvani::ui::FrmTerminal& Window() { return App->Window(); }
  korvani::ui::FrmTerminalUi Ui() { return App->Window().Ui(); }

  // Sends bytes as the board does, in one write, and waits until the panel has handled
  // them: a clock request goes last, and its answer on the wire marks the end. Returns
  // what the panel sent before the clock.
  std::string Play(const std::string& bytes) {
    Send(bytes + BoardMessage('r'));
    std::string heard;
    for (int waited = 0; waited < 5000; waited += 5) {
      heard += ReadSome(5);
      const std::size_t clock = heard.find("\x07\x05");
      if (clock != std::string::npos && heard.size() >= clock + 16 && heard[clock + 15] == kEot) {
        LastClock = heard.substr(clock + 2, 13);
        return heard.substr(0, clock);
      }
    }
    return "no clock answer; heard: " + heard;
  }

  void Send(const std::string& bytes) {
    Sent += bytes;
    QVERIFY(WriteAllTo(BoardFd, bytes));
  }

  // What the panel sends on its own (a button, an entry), up to and with its EOT.
  std::string Heard() {
    std::string heard;
    for (int waited = 0; waited < 3000 && heard.find(kEot) == std::string::npos; waited += 10) {
      heard += ReadSome(10);
    }
    return heard;
  }

  std::string ReadSome(int timeoutMs) const { return ReadSomeFrom(BoardFd, timeoutMs); }

  // One character cell of the screen (or a block of them), in the screen image's pixels.
  QRect Cells(int row, int column, int rows = 1, int columns = 1) {
    const auto& screen = App->Panel().Current().Screen();
    const double twips = korvani::ui::QtDrawingSurface::kTwipsPerPixel;
    const double width = screen.CellWidth() / twips;
    const double height = screen.CellHeight() / twips;
    const int left = static_cast<int>(column * width);
    const int top = static_cast<int>(row * height);
    const int right = static_cast<int>((column + columns) * width);
    const int bottom = static_cast<int>((row + rows) * height);
    return {left, top, right - left, bottom - top};
  }

  // How many pixels of the area have exactly this colour.
  int Pixels(const QRect& area, QColor colour) {
    const QImage& image = App->Window().Surface().Image();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) {
        count += image.pixelColor(x, y).rgb() == colour.rgb() ? 1 : 0;
      }
    }
    return count;
  }
  QColor PixelAt(const QRect& area) { return App->Window().Surface().Image().pixelColor(area.center()); }

  QTemporaryDir Dir;
  PtyPair Pty;
  TcpBoard Tcp;
  int BoardFd = -1;  // the board's end of the line: the pty's master or the TCP connection
  std::unique_ptr<korvani::ui::KorvaniApp> App;
  std::string Sent;       // every byte the board sent
  std::string LastClock;  // the 13 digits of the last clock answer
};

}  // namespace
