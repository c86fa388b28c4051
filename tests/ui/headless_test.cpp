// SPDX-License-Identifier: GPL-3.0-or-later
// korvani --headless as a firmware's CI runs it: the real program, with no display at all, a
// script file and a board on a pty; what it prints and the exit code it gives.
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <string>

#include "hmi/link/protocol.h"
#include "ui/pty_pair.h"
#include "ui/script_file.h"
#include "ui/ser2net_server.h"
#include "ui/slave_line.h"

namespace {

using korvani::testing::PtyPair;
using namespace std::string_literals;

struct Run {
  int ExitCode = -1;
  QString Out;
  QString Err;
};

class HeadlessTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir Home;

  QString Script(const char* name, const char* text) const {
    return korvani::testing::WriteScript(Home, name, text);
  }

  // Starts the program with no display in its environment; `board` plays the pty's far end
  // while it runs.
  Run Start(const QStringList& arguments, const std::function<void()>& board = {}) const {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
      environment.remove(QString::fromLatin1(name));
    }
    environment.insert(QStringLiteral("HOME"), Home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), Home.filePath(QStringLiteral("config")));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(Home.path());
    program.start(QStringLiteral(KORVANI_PROGRAM), arguments);
    if (!program.waitForStarted(10000)) {
      return {-1, {}, QStringLiteral("did not start: ") + program.errorString()};
    }
    if (board) {
      board();
    }
    // It may have ended while the board played (the board's waits run the event loop).
    if (program.state() != QProcess::NotRunning && !program.waitForFinished(30000)) {
      program.kill();
      program.waitForFinished();
      return {-1, {}, QStringLiteral("did not end in 30 s")};
    }
    const QString err = QString::fromUtf8(program.readAllStandardError());
    if (program.exitStatus() != QProcess::NormalExit) {
      return {-1, QString::fromUtf8(program.readAllStandardOutput()), QStringLiteral("crashed: ") + err};
    }
    return {program.exitCode(), QString::fromUtf8(program.readAllStandardOutput()), err};
  }

 private slots:
  // A board greets, the script answers, the board replies, and the script ends with 0.
  void aScriptExpectsTheBoardsGreetingAndAnswersIt() {
    PtyPair pty;
    const QString script = Script("greet.lua", R"lua(
      local _, version = expect('firmware (%d+%.%d+)')
      expect('ready> ')
      sendline('status')
      log('board ' .. version .. ' says ' .. expect('state=(%a+)', 5):sub(7))
    )lua");
    std::string asked;
    const Run run = Start({"--headless", "--script", script, "--port", pty.SlavePath}, [&pty, &asked] {
      QTest::qWait(300);
      QVERIFY(pty.WriteAll("boot firmware 2.7\r\nready> "));
      for (int i = 0; i < 50 && asked.find('\n') == std::string::npos; ++i) {
        asked += pty.ReadSome(100);
      }
      QVERIFY(pty.WriteAll("state=running\r\n"));
    });
    QVERIFY2(run.ExitCode == 0, qPrintable(QString::number(run.ExitCode) + " " + run.Err + " " + run.Out));
    QCOMPARE(QString::fromStdString(asked).trimmed(), QStringLiteral("status"));
    QCOMPARE(run.Out, QStringLiteral("board 2.7 says running\n"));
  }

  // What each end of a script gives: its exit(), an error with its line, a port that is not.
  void theExitCodeSaysHowTheScriptEnded_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("port");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stderrHas");
    QTest::newRow("exit after a time-out") << QByteArray("if not expect('never', 0.3) then exit(3) end")
                                           << QStringList{"--demo"} << 3 << QString();
    QTest::newRow("a syntax error") << QByteArray("log('a')\nif then\n") << QStringList{"--demo"} << 1
                                    << QStringLiteral("s.lua:2: unexpected symbol");
    QTest::newRow("an error at run time") << QByteArray("\nerror('no board')") << QStringList{"--demo"} << 1
                                          << QStringLiteral("s.lua:2: no board");
    QTest::newRow("no such port") << QByteArray("exit(0)") << QStringList{"--port", "/dev/korvani-none"} << 2
                                  << QStringLiteral("the port did not open");
  }
  void theExitCodeSaysHowTheScriptEnded() {
    QFETCH(QByteArray, text);
    QFETCH(QStringList, port);
    QFETCH(int, exitCode);
    QFETCH(QString, stderrHas);
    const QString script = Script("s.lua", text.constData());
    const Run run = Start(QStringList{"--headless", "--script", script} + port);
    QVERIFY2(run.ExitCode == exitCode, qPrintable(QString::number(run.ExitCode) + " " + run.Err));
    QVERIFY2(run.Err.contains(stderrHas), qPrintable(run.Err));
  }

  // The board's screen and soft buttons work with no window: a button found by its caption,
  // pressed, and the board's answer read off the screen.
  void aSoftButtonDrawnByTheBoardIsFoundAndPressed() {
    const QString script = Script("press.lua", R"lua(
      sleep(1)
      local row = screen.find('Count')
      assert(row, 'no count on the screen')
      press('Count +')
      sleep(0.5)
      log(screen.text(row):match('Count%s+(%d+)'))
    )lua");
    const Run run = Start({"--headless", "--script", script, "--demo"});
    QVERIFY2(run.ExitCode == 0, qPrintable(run.Err));
    QCOMPARE(run.Out, QStringLiteral("1\n"));
  }

  // A remote serial port through a real RFC 2217 server: the speed and format given on the
  // command line are what the pty behind the server has, a board's request is answered, and
  // a break goes out and the server takes it.
  void aRemotePortBehindSer2netTakesTheLineGiven() {
    if (korvani::testing::Ser2netServer::Program().isEmpty()) {
      QSKIP("ser2net is not installed (scripts/install-deps.sh test installs it): no remote port tried");
    }
    PtyPair pty;
    korvani::testing::Ser2netServer server;
    QVERIFY2(server.Start(pty.SlavePath, Home.filePath(QStringLiteral("ser2net.pid"))),
             qPrintable(server.Said()));
    korvani::testing::WireTap tap(server.ListeningPort());
    QVERIFY(tap.ListeningPort() != 0);
    const QString script = Script("remote.lua", R"lua(
      expect('hello', 10)
      sendline('status')
      local _, state = expect('state=(%a+)', 5)
      brk(0.2)
      sleep(0.5)
      log(state)
    )lua");
    korvani::testing::SlaveLine line;
    std::string asked;
    const QString address = QStringLiteral("rfc2217://localhost:%1").arg(tap.ListeningPort());
    const Run run =
        Start({"--headless", "--script", script, "--port", address, "--baud", "57600", "--format", "8N2"},
              [&pty, &line, &asked] {
                for (int waited = 0; waited < 5000 && line.Baud != 57600; waited += 50) {
                  QTest::qWait(50);
                  line = korvani::testing::ReadSlaveLine(pty.Slave);
                }
                QVERIFY(pty.WriteAll("hello\r\n"));
                for (int i = 0; i < 50 && asked.find('\n') == std::string::npos; ++i) {
                  asked += pty.ReadSome(100);
                }
                QVERIFY(pty.WriteAll("state=running\r\n"));
              });
    QVERIFY2(run.ExitCode == 0,
             qPrintable(QString::number(run.ExitCode) + " " + run.Err + " " + server.Said()));
    QCOMPARE(line.Baud, 57600);
    QCOMPARE(line.DataBits, 8);
    QVERIFY(line.TwoStopBits);
    QCOMPARE(QString::fromStdString(asked).trimmed(), QStringLiteral("status"));
    QCOMPARE(run.Out, QStringLiteral("running\n"));
    QVERIFY2(!run.Err.contains(QStringLiteral("did not take")), qPrintable(run.Err));
    QVERIFY(tap.Answered().find("\xff\xfa\x2c\x65\x00\x00\xe1\x00\xff\xf0"s) != std::string::npos);
    QVERIFY2(tap.Sent().find("\xff\xfa\x2c\x05\x05\xff\xf0"s) != std::string::npos, "the break went out");
    QVERIFY2(tap.Answered().find("\xff\xfa\x2c\x69\x05\xff\xf0"s) != std::string::npos, "the server took it");
  }
};

}  // namespace

QTEST_GUILESS_MAIN(HeadlessTest)
#include "headless_test.moc"
