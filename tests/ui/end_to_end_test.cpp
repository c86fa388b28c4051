// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program, built as main() builds it, on the slave side of a pseudo-terminal pair,
// or (KORVANI_BOARD_OVER=tcp) connected to a TCP server on loopback that stands for a
// serial-to-network bridge. The test plays the board on the other end and looks at what a
// user or a board would see: bytes on the wire, pixels of the screen, widgets, files in the
// log folder and the settings file written at shut-down.
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
#include "ui/program_on_pty.h"
#include "ui/pty_pair.h"
#include "ui/script_file.h"

using korvani::hmi::link::BoardMessage;
using korvani::testing::PtyPair;
using korvani::testing::ReadSomeFrom;
using korvani::testing::TcpBoard;
using korvani::testing::WriteAllTo;

class EndToEndTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QVERIFY(PtyPair().Master >= 0); }

  void opensThePortAndAnswersTheClock() {
    Program board;
    QVERIFY(board.Ui().lblPortStatus->text().contains(QStringLiteral("Open")));
    QCOMPARE(board.Play(""), std::string());
    const QString now = QDateTime::currentDateTime().toString(QStringLiteral("yyMMdd"));
    QCOMPARE(QString::fromStdString(board.LastClock.substr(0, 6)), now);
    const int weekday = board.LastClock[12] - '0';
    QCOMPARE(weekday, QDate::currentDate().dayOfWeek() - 1);  // Monday is 0
  }

  // Every scheme has its factory, and the source it makes has what the scheme's row claims:
  // the connection and the Settings tab go by the row before a source is made.
  void eachSchemesSourceIsWhatItsRowSays() {
    Program board;
    const std::vector<korvani::ports::SourceMaker> makers = board.App->SourceMakers(board.Window());
    QCOMPARE(makers.size(), korvani::ports::SourceSchemes().size());
    for (const korvani::ports::SourceMaker& maker : makers) {
      const std::unique_ptr<korvani::ports::SerialPort> port = maker.Make(
          {.PathOf = [](std::int16_t) { return std::string(); }, .PanelWritesLogs = [] { return true; }});
      korvani::ports::SerialLine* line = port->Line();
      QVERIFY2((line != nullptr) == maker.Scheme->LineSettings, maker.Scheme->Prefix.data());
      QVERIFY2((line != nullptr && line->HasControlLines()) == maker.Scheme->ControlLines,
               maker.Scheme->Prefix.data());
    }
  }

  void screenCommandsDrawWhereAndHowTheyAreTold() {
    Program board;
    QCOMPARE(board.Play(BoardMessage('V', {"40", "OK"})), std::string("OK\x04"));
    QCOMPARE(board.Ui().txtSetWidth->text(), QStringLiteral("40"));

    const QColor blue(0, 0, 255);
    const QColor yellow(255, 255, 0);
    const QColor green(0, 255, 0);
    const QColor red(255, 0, 0);
    board.Play(BoardMessage('S') + BoardMessage('L', {"0", "0", "255"}) + BoardMessage('R'));
    QCOMPARE(board.PixelAt(board.Cells(12, 20)), blue);

    board.Play(BoardMessage('K', {"255", "255", "0"}) + BoardMessage('F', {"3", "4"}) +
               BoardMessage('@', {"HHHH"}));
    QVERIFY(board.Pixels(board.Cells(3, 4, 1, 4), yellow) > 20);
    QCOMPARE(board.Pixels(board.Cells(3, 9, 1, 4), yellow), 0);
    QCOMPARE(board.Pixels(board.Cells(2, 4, 1, 4), yellow), 0);

    // Relative move from after the text: one row down, two columns on.
    board.Play(BoardMessage('E', {"1", "2"}) + BoardMessage('@', {"H"}));
    QVERIFY(board.Pixels(board.Cells(4, 10), yellow) > 5);
    QCOMPARE(board.Pixels(board.Cells(4, 8, 1, 2), yellow), 0);

    // "H" takes the pair under the top of the colour stack: G, change, G, H comes back.
    board.Play(BoardMessage('G') + BoardMessage('K', {"0", "255", "0"}) + BoardMessage('G') +
               BoardMessage('H') + BoardMessage('F', {"6", "0"}) + BoardMessage('@', {"H"}));
    QVERIFY(board.Pixels(board.Cells(6, 0), yellow) > 5);
    QCOMPARE(board.Pixels(board.Cells(0, 0, 26, 40), green), 0);

    // A bar graph half full: the fill in the text colour, the rest in the background colour.
    board.Play(BoardMessage('K', {"255", "0", "0"}) + BoardMessage('L', {"0", "255", "0"}) +
               BoardMessage('Q', {"10", "0", "1", "10", "0.5"}));
    QCOMPARE(board.PixelAt(board.Cells(10, 1)), red);
    QCOMPARE(board.PixelAt(board.Cells(10, 8)), green);

    // Clearing takes the background colour; the rulers then draw on the top row.
    board.Play(BoardMessage('L', {"0", "0", "255"}) + BoardMessage('R'));
    QCOMPARE(board.Pixels(board.Cells(0, 0, 26, 40), red), 0);
    const QRect topRow = board.Cells(0, 0, 1, 40);
    QCOMPARE(board.Pixels(topRow, blue), topRow.width() * topRow.height());
    board.Play(BoardMessage('W'));
    QVERIFY(board.Pixels(topRow, blue) < topRow.width() * topRow.height());

    // A wider screen has smaller cells: the same text fits twice into half the width.
    const int cellWidth = board.Cells(0, 0).width();
    QCOMPARE(board.Play(BoardMessage('V', {"80", ""})), std::string("\x04"));
    QVERIFY(board.Cells(0, 0).width() < cellWidth);
  }

  void buttonsEntryNoticesAndControlsAnswerTheOperator() {
    Program board;
    board.Play(BoardMessage('O', {"9", "5", "1", "2", "10", "Go", "", "GO"}));
    QPushButton* go = board.Window().UserButton(8);
    QVERIFY(go != nullptr && go->isVisible());
    QCOMPARE(go->text(), QStringLiteral("Go"));
    QTest::mouseClick(go, Qt::LeftButton);
    QCOMPARE(board.Heard(), std::string("GO\x04"));
    board.Play(BoardMessage('U'));
    QVERIFY(!go->isVisible());

    board.Play(BoardMessage('T', {"Speed", "1", "100", "SP"}));
    QVERIFY(board.Ui().fraUserDataInput->isVisible());
    QVERIFY(board.Ui().lblHMIDataEntryPrompt->text().contains(QStringLiteral("Maximum 100")));
    QTest::keyClicks(board.Ui().txtHMIDataEntry, QStringLiteral("4x2"));
    QTest::mouseClick(board.Ui().cmdHMIDataOK, Qt::LeftButton);
    QCOMPARE(board.Heard(), std::string("SP\x05"
                                        "42\x04"));
    QVERIFY(!board.Ui().fraUserDataInput->isVisible());

    board.Play(BoardMessage('p', {"Tank <b>full</b>", "en", "GB", ""}));
    QVERIFY(board.Ui().fraToastMsg->isVisible());
    QVERIFY(board.Ui().lblToastMsg->text().contains(QStringLiteral("Tank <b>full</b>")));
    board.Play(BoardMessage('q', {"Pump off"}));
    QVERIFY(board.Ui().lblToastMsg->text().contains(QStringLiteral("Pump off")));

    board.Play(BoardMessage('X', {"0"}));
    QVERIFY(!board.Ui().cmdHMIConnect->isVisible());
    board.Play(BoardMessage('X', {"9"}));  // Connect and Ruler
    QVERIFY(board.Ui().cmdHMIConnect->isVisible());
    QVERIFY(board.Ui().cmdHMIRulers->isVisible());
    QVERIFY(!board.Ui().cmdHMIReset->isVisible());

    // A screen reset brings the panel's F1 to F8 back.
    board.Play(BoardMessage('S'));
    QPushButton* f1 = board.Window().UserButton(0);
    QVERIFY(f1 != nullptr && f1->isVisible());
    QCOMPARE(f1->text(), QStringLiteral("F1"));

    board.Play(BoardMessage('!', {"Pressure low\r\n"}));
    QTRY_VERIFY(board.Ui().txtHMILog->toPlainText().contains(QStringLiteral("Pressure low")));
  }

  // Board text that looks like markup is shown as the characters it is, everywhere.
  void boardMarkupIsShownLiterally() {
    Program board;
    const std::string markup = "<b>x</b><img src=/nonexistent.png>";
    const QString shown = QString::fromStdString(markup);
    board.Play(BoardMessage('p', {markup, "", "", ""}) + BoardMessage('T', {markup, "", "", "M"}) +
               BoardMessage('O', {"9", "5", "1", "2", "20", markup, "", "GO"}) +
               BoardMessage('!', {markup + "\r\n"}) + markup);
    const auto& ui = board.Ui();
    for (const QLabel* label : {ui.lblToastMsg, ui.lblHMIDataEntryPrompt}) {
      QCOMPARE(label->textFormat(), Qt::PlainText);
      QVERIFY2(label->text().contains(shown), qPrintable(label->text()));
    }
    QCOMPARE(board.Window().UserButton(8)->text(), shown);
    QTRY_VERIFY(ui.txtHMILog->toPlainText().contains(shown));
    QTRY_VERIFY(ui.txtRxData->AllText().contains(shown));
  }

  void diskLogCommandsWriteFilesInTheLogFolder() {
    Program board;
    board.Play(BoardMessage('Y', {"plain", "0"}) + BoardMessage('B', {"a,"}) + BoardMessage('C') +
               BoardMessage('B', {","}) + BoardMessage('D') + BoardMessage('A'));
    const QString plain = QString::fromLatin1(ReadAll(board.LogFile(QStringLiteral("plain.log"))));
    QVERIFY2(QRegularExpression(QStringLiteral("^a,\\d{6},\\d{6}\r\n$")).match(plain).hasMatch(),
             qPrintable(plain));
    QVERIFY(plain.endsWith(QDate::currentDate().toString(QStringLiteral("yyMMdd")) + "\r\n"));

    board.Play(BoardMessage('Y', {"seq", "2"}) + BoardMessage('B', {"one"}) + BoardMessage('A') +
               BoardMessage('Z', {"seq"}) + BoardMessage('B', {"two"}) + BoardMessage('A'));
    QCOMPARE(ReadAll(board.LogFile(QStringLiteral("seq_-00000.log"))), QByteArray("one\r\n"));
    QCOMPARE(ReadAll(board.LogFile(QStringLiteral("seq_-00001.log"))), QByteArray("two\r\n"));
  }

  void framingSurvivesAnyChunkingAndEveryByteIsLogged() {
    Program board;
    // A message split over two chunks runs when its ETX arrives.
    board.Send("\x01!spl");
    QTest::qWait(100);
    board.Play("it\r\n\x03");
    // Three in one chunk, with garbage between them.
    board.Play(BoardMessage('!', {"one\r\n"}) + "noise\x05\x02" + BoardMessage('!', {"two\r\n"}) +
               "\x03\x03" + BoardMessage('!', {"three\r\n"}));
    // A 5,000-byte chunk holding many complete messages: every one runs.
    std::string chunk;
    int lines = 0;
    while (chunk.size() < 5000) {
      chunk += BoardMessage('!', {"line " + std::to_string(lines++) + "\r\n"});
    }
    board.Play(chunk);

    QString expected = QStringLiteral("split\none\ntwo\nthree\n");
    for (int i = 0; i < lines; ++i) {
      expected += QStringLiteral("line %1\n").arg(i);
    }
    QTRY_COMPARE(board.Ui().txtHMILog->toPlainText(), expected);

    // Both terminal logs hold all of it: the ASCII log as the ASCII view shows it, the hex
    // log three characters a byte and more.
    QCOMPARE(ReadAll(board.AsciiLog()), QByteArray::fromStdString(korvani::base::AsciiToDisplay(board.Sent)));
    QVERIFY(ReadAll(board.Dir.filePath("hex.log")).size() >= 3 * static_cast<qsizetype>(board.Sent.size()));
  }

  // With time stamps on from the start, each line of the view and of the ASCII log starts
  // with the time of day it came; the hex log has none.
  void timestampsStampTheViewAndTheAsciiLog() {
    Program board(true);
    QVERIFY(board.Ui().chkTimestamps->isChecked());
    board.Play("first\r\nsecond\r\n");
    const QRegularExpression stamped(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d (first|second)$"));
    const QStringList log = QString::fromLatin1(ReadAll(board.AsciiLog())).split(QStringLiteral("\r\n"));
    QVERIFY2(log.size() >= 2 && stamped.match(log[0]).hasMatch() && stamped.match(log[1]).hasMatch(),
             qPrintable(log.join(QLatin1Char('|'))));
    QVERIFY(!ReadAll(board.Dir.filePath("hex.log")).contains(':'));
    QTRY_VERIFY(board.Ui().txtRxData->AllText().contains(QStringLiteral("first")));
    const QStringList shown = board.Ui().txtRxData->AllText().split(QLatin1Char('\n'));
    QVERIFY2(stamped.match(shown.value(0)).hasMatch(), qPrintable(shown.value(0)));
  }

  // The board's screen at two sizes: what it drew is in the same cells at both, and its button
  // answers a click at its place in each.
  void theBoardsDrawingAndButtonsHoldAtTwoSizes() {
    Program board;
    board.Window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&board.Window()));
    const QColor yellow(255, 255, 0);
    board.Play(BoardMessage('S') + BoardMessage('R') + BoardMessage('K', {"255", "255", "0"}) +
               BoardMessage('F', {"3", "4"}) + BoardMessage('@', {"HHHH"}) +
               BoardMessage('O', {"5", "10", "2", "3", "10", "Go", "", "G1"}));
    const double points = board.App->Panel().Current().Screen().FontPoints();
    for (const QSize grow : {QSize(0, 0), QSize(600, 400)}) {
      board.Window().resize(board.Window().sizeHint() + grow);
      QTRY_VERIFY(grow.isEmpty() ? board.App->Panel().Current().Screen().FontPoints() == points
                                 : board.App->Panel().Current().Screen().FontPoints() > points);
      QVERIFY(board.Pixels(board.Cells(3, 4, 1, 4), yellow) > 20);
      QCOMPARE(board.Pixels(board.Cells(3, 9, 1, 4), yellow), 0);
      QPushButton* button = board.Window().UserButton(4);
      QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(button->width() / 2, button->height() / 2));
      QCOMPARE(board.Play(""), std::string("G1\x04"));
    }
  }

  // Periodic send over a pty: the line arrives again and again on the board's side, and stops
  // when the box is cleared.
  void periodicSendRepeatsALineOnTheWire() {
    Program board;
    const auto& ui = board.Ui();
    ui.txtTx[0]->setText(QStringLiteral("ping'0D"));
    ui.spnRepeat[0]->setValue(40);
    ui.chkRepeat[0]->setChecked(true);
    std::string wire;
    QTRY_VERIFY_WITH_TIMEOUT(
        (wire += board.ReadSome(50), wire.find("ping\rping\rping\r") != std::string::npos), 5000);
    ui.chkRepeat[0]->setChecked(false);
    QTest::qWait(100);
    board.ReadSome(50);  // whatever was on its way
    QCOMPARE(board.ReadSome(200), std::string());
  }

  void aNetworkBoardIsConnectedAgainWhenItsServerRestarts() {
    if (Program::OverNetwork()) {
      QSKIP("the pty run covers it");
    }
    Program board([](korvani::app::StartOptions&) {}, true);
    QVERIFY(board.BoardFd >= 0);
    QVERIFY(board.Ui().lblPortStatus->text().startsWith(QStringLiteral("COM220: ")));
    QVERIFY(!board.Ui().fraLine->isEnabled());  // no speed or format of its own
    QCOMPARE(board.Play(BoardMessage('V', {"40", "OK"})), std::string("OK\x04"));

    // The bridge sends a burst of many reads' worth and goes away at once: all of it is kept.
    std::string burst;
    for (int line = 0; burst.size() < 400'000; ++line) {
      burst += "burst line " + std::to_string(line) + "\r\n";
    }
    board.Send(burst);
    const quint16 port = board.Tcp.Port;
    board.Tcp.Close();
    QTRY_VERIFY(board.Ui().lblPortProblem->text().endsWith(QStringLiteral(": connection lost")));
    QCOMPARE(ReadAll(board.AsciiLog()), QByteArray::fromStdString(korvani::base::AsciiToDisplay(board.Sent)));
    QVERIFY(board.Ui().chkComPortOpen->isChecked());  // "Open" stays down, so it is tried again
    QVERIFY(board.Tcp.Listen(port));
    board.BoardFd = board.Tcp.Accept(2000);
    QVERIFY2(board.BoardFd >= 0, "connected again within 2 s of the server listening");
    QCOMPARE(board.Play(BoardMessage('V', {"40", "AGAIN"})), std::string("AGAIN\x04"));
    QTRY_COMPARE(board.Ui().lblPortProblem->text(), QString());
  }

  void aNetworkPortSaysWhyItCannotConnect_data() {
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("reason");
    QTest::newRow("nothing listens") << "refused"
                                     << ": connection refused";
    QTest::newRow("no answer to the connect") << "unanswered"
                                              << ": no answer (the host is unreachable or does not listen)";
  }
  void aNetworkPortSaysWhyItCannotConnect() {
    QFETCH(QString, situation);
    QFETCH(QString, reason);
    TcpBoard server;
    QString address = server.Address();
    int waiting = -1;
    if (situation == QStringLiteral("refused")) {
      server.Close();
    } else {
      // A server that takes no more connections: its one place is taken, later ones hang.
      server.Close();
      QVERIFY(server.Listen(0, 0));
      address = server.Address();
      waiting = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
      sockaddr_in to{};
      to.sin_family = AF_INET;
      to.sin_port = htons(server.Port);
      to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      ::connect(waiting, reinterpret_cast<sockaddr*>(&to), sizeof to);
      QTest::qWait(50);
    }
    korvani::ui::QtNetworkPort port;
    port.SetConnectTimeout(300);
    port.SetPathResolver([&address](std::int16_t) { return address.toStdString(); });
    std::vector<korvani::ports::PortEvent> events;
    port.SetEventHandler([&events](korvani::ports::PortEvent event) { events.push_back(event); });
    port.SetPortNumber(220);
    QVERIFY(port.SetOpen(true));  // the connect runs in the background: the window goes on
    QCOMPARE(port.LastError(), address.toStdString() + ": connecting");
    QTRY_VERIFY_WITH_TIMEOUT(!port.IsOpen(), 20000);
    QCOMPARE(QString::fromStdString(port.LastError()), address + reason);
    // Told once, as a change of the line (an error's reset would connect again at once, in a
    // loop); the next try is the connection's once-a-second watch.
    QTest::qWait(100);
    QVERIFY(events == std::vector{korvani::ports::PortEvent::LineChanged});
    QVERIFY(!port.IsOpen());
    if (waiting >= 0) {
      close(waiting);
    }
  }

  // A peer that sends as fast as it can, to a program that reads nothing: once the socket
  // holds its most, TCP holds the peer back, as flow control holds back a board on a line.
  void aFloodingPeerIsHeldBackOnceTheSocketHoldsItsMost() {
    if (Program::OverNetwork()) {
      QSKIP("the pty run covers it");
    }
    TcpBoard server;
    const std::string address = server.Address().toStdString();
    korvani::ui::QtNetworkPort port;
    port.SetPathResolver([&address](std::int16_t) { return address; });
    port.SetEventHandler([](korvani::ports::PortEvent) {});  // nothing is read
    port.SetPortNumber(220);
    QVERIFY(port.SetOpen(true));
    const int peer = server.Accept(5000);
    QVERIFY(peer >= 0);
    QTRY_VERIFY(port.Connected());
    const std::string block(64 * 1024, 'x');
    std::int64_t sent = 0;
    for (int round = 0; round < 100 && sent < (std::int64_t{256} << 20); ++round) {
      for (ssize_t n = 0; (n = ::write(peer, block.data(), block.size())) > 0;) {
        sent += n;
      }
      QTest::qWait(10);
    }
    QVERIFY2(port.BytesWaiting() <= korvani::ui::QtNetworkPort::kReadBufferBytes,
             qPrintable(QString::number(port.BytesWaiting())));
    QVERIFY2(sent < (std::int64_t{64} << 20), qPrintable(QString::number(sent)));
  }

  void aRecordedDemoSessionReplaysToTheSameScreenAndLogs() {
    QTemporaryDir dir;
    const QString recording = dir.filePath(QStringLiteral("demo.kvr"));
    QImage screen;
    QByteArray asciiLog;
    QByteArray hexLog;
    {
      Program live(
          [&recording](korvani::app::StartOptions& options) {
            options.PortPath.clear();
            options.Demo = true;
            options.RecordPath = recording.toStdString();
          },
          false);
      live.App->Panel().Current().Buttons().Press(0);  // the operator holds "Count +" a while
      QTest::qWait(1200);
      live.App->Panel().Current().Buttons().Release(0);
      QTest::qWait(300);
      live.App->Panel().Current().StopRecording();
      screen = live.App->Window().Surface().Image().copy();
      asciiLog = ReadAll(live.AsciiLog());
      hexLog = ReadAll(live.HexLog());
    }
    QVERIFY(asciiLog.size() > 100);

    Program replay(
        [&recording](korvani::app::StartOptions& options) {
          options.PortPath.clear();
          options.ReplayPath = recording.toStdString();
          options.ReplaySpeed = 0;  // as fast as possible
        },
        false);
    QVERIFY(replay.Ui().lblPortStatus->text().startsWith(QStringLiteral("COM254: ")));
    QTRY_VERIFY_WITH_TIMEOUT(
        replay.Ui().lblPortProblem->text().startsWith(QStringLiteral("the replay came to its end")), 10000);
    QCOMPARE(ReadAll(replay.AsciiLog()), asciiLog);
    QCOMPARE(ReadAll(replay.HexLog()), hexLog);
    QVERIFY(replay.App->Window().Surface().Image() == screen);
  }

  // --script without --headless: the window opens on its Script tab and runs the script on
  // the board's port while a person watches; the board's reply shows in its output.
  void aScriptOnTheCommandLineRunsInTheWindow() {
    QTemporaryDir folder;
    const QString script = korvani::testing::WriteScript(
        folder, "ask.lua", "sendline('version?')\nlog('board says ' .. select(2, expect('v(%d+)', 5)))\n");
    QVERIFY(!script.isEmpty());
    Program board(
        [&script](korvani::app::StartOptions& options) { options.ScriptPath = script.toStdString(); });
    QCOMPARE(board.Ui().SSTab1->currentIndex(), korvani::app::kScriptTab);
    std::string asked;
    for (int waited = 0; waited < 3000 && asked.find('\n') == std::string::npos; waited += 10) {
      asked += board.ReadSome(10);
    }
    QCOMPARE(asked, std::string("version?\r\n"));
    board.Send("v42\r\n");
    QTRY_VERIFY(!board.Window().Scripts().Running());
    QVERIFY2(board.Ui().txtScriptOutput->toPlainText().contains(QStringLiteral("board says 42")),
             qPrintable(board.Ui().txtScriptOutput->toPlainText()));
  }

  // Two ports on the command line: a window each, each board answered on its own port, each
  // session's logs and settings in files of its own; closing a window ends its session only.
  void twoPortsOpenTwoWindowsThatKeepTheirBoardsApart() {
    if (Program::OverNetwork()) {
      QSKIP("the pty run covers it");
    }
    PtyPair second;
    Program board([&second](korvani::app::StartOptions& options) {
      korvani::ports::LineOptions line;
      line.Baud = 57600;
      options.MorePorts.push_back({second.SlavePath.toStdString(), line});
    });
    QCOMPARE(board.App->MoreWindows(), std::size_t{1});
    korvani::ui::FrmTerminal& other = board.App->MoreWindow(0);
    QVERIFY(other.isVisible());
    QCOMPARE(other.windowTitle(), board.Window().windowTitle() + QStringLiteral(" - COM201"));
    QVERIFY2(other.Ui().lblPortStatus->text().contains(QStringLiteral("COM201: 57600,N,8,1")),
             qPrintable(other.Ui().lblPortStatus->text()));
    QVERIFY(!board.Ui().lblPortStatus->text().contains(QStringLiteral("57600")));
    const auto playSecond = [&second](const std::string& bytes) {
      if (!second.WriteAll(bytes + BoardMessage('r'))) {
        return std::string();
      }
      std::string heard;
      for (int waited = 0; waited < 5000 && heard.find("\x07\x05") == std::string::npos; waited += 10) {
        heard += second.ReadSome(10);
      }
      return heard;
    };

    QVERIFY(playSecond("second\r\n" + BoardMessage('Y', {"plain", "0"}) + BoardMessage('B', {"two"}) +
                       BoardMessage('A'))
                .find("\x07\x05") != std::string::npos);
    QCOMPARE(board.ReadSome(50), std::string());  // the first port hears nothing of the second board
    QCOMPARE(board.Play("first\r\n" + BoardMessage('Y', {"plain", "0"}) + BoardMessage('B', {"one"}) +
                        BoardMessage('A')),
             std::string());
    QCOMPARE(second.ReadSome(50), std::string());
    const QByteArray firstLog = ReadAll(board.LogFile(QStringLiteral("plain.log")));
    const QByteArray furtherLog = ReadAll(board.LogFile(QStringLiteral("plain-COM201.log")));
    QCOMPARE(firstLog, QByteArray("one\r\n"));
    QCOMPARE(furtherLog, QByteArray("two\r\n"));

    other.close();
    QTRY_COMPARE(board.App->MoreWindows(), std::size_t{0});
    QVERIFY(second.WriteAll(BoardMessage('r')));
    QCOMPARE(second.ReadSome(300), std::string());  // its session ended with its window
    QCOMPARE(board.Play(""), std::string());        // the first board is still answered
    board.Window().close();

    const QByteArray first = ReadAll(board.AsciiLog());
    const QByteArray further = ReadAll(board.Dir.filePath(QStringLiteral("ascii-COM201.log")));
    QVERIFY2(first.contains("first") && !first.contains("second"), first.constData());
    QVERIFY2(further.contains("second") && !further.contains("first"), further.constData());
    const QString kept =
        board.Dir.filePath(QStringLiteral("config/Korvani_by_Vexel/INIFile/Ports/Port-COM201/Vexel32.INI"));
    QVERIFY2(ReadAll(kept).contains(" 201 "), qPrintable(kept));
    QVERIFY(!ReadAll(board.SettingsFile()).contains(" 201 "));  // the first session's file is its own
  }

  // A program started while another runs on the same settings: it says so, and its files
  // (logs, settings) are its port's, so the first program's are never written by it.
  void aSecondProgramKeepsToFilesOfItsOwn() {
    if (Program::OverNetwork()) {
      QSKIP("the pty run covers it");
    }
    Program board;
    const QByteArray firstSettings = ReadAll(board.SettingsFile());
    PtyPair other;
    korvani::app::StartOptions options;
    options.PortPath = other.SlavePath.toStdString();
    options.NoUpdateCheck = true;
    {
      korvani::ui::KorvaniApp second(options);
      second.Start();
      const korvani::ui::FrmTerminalUi ui = second.Window().Ui();
      QVERIFY2(ui.StatusBar1->currentMessage().startsWith(QStringLiteral("Another Korvani is running")),
               qPrintable(ui.StatusBar1->currentMessage()));
      QVERIFY(second.Window().windowTitle().endsWith(QStringLiteral(" - COM200")));
      QCOMPARE(ui.txtASCIILogFileName->text(), board.Dir.filePath(QStringLiteral("ascii-COM200.log")));
      second.Window().close();
    }
    QCOMPARE(ReadAll(board.SettingsFile()), firstSettings);
    QVERIFY(QFile::exists(
        board.Dir.filePath(QStringLiteral("config/Korvani_by_Vexel/INIFile/Ports/Port-COM200/Vexel32.INI"))));
    QCOMPARE(board.Play(""), std::string());  // the first program goes on
  }

  void settingsAreWrittenAtShutDown() {
    Program board;
    board.Ui().txtTx[0]->setText(QStringLiteral("Hello'0D"));
    QFile::remove(board.SettingsFile());
    board.Window().close();
    const QStringList lines =
        QString::fromLatin1(ReadAll(board.SettingsFile())).split(QStringLiteral("\r\n"));
    QVERIFY2(lines.size() >= 16, qPrintable(lines.join('|')));
    // The port given with --port: the first command-line device, or the first network port.
    QVERIFY2(lines.contains(Program::OverNetwork() ? QStringLiteral(" 220 ") : QStringLiteral(" 200 ")),
             qPrintable(lines.join('|')));
    QVERIFY(lines.contains(board.Dir.filePath("logs")));
    QVERIFY(lines.contains(QStringLiteral("Hello'0D")));
  }
};

QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
