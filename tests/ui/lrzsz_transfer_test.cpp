// SPDX-License-Identifier: GPL-3.0-or-later
// Each file protocol end to end: the whole program on a pty, and on the board's end of the
// line lrzsz's opposite program (its input and output bridged to the pty's master, as a
// board's firmware would answer). The file must arrive byte for byte, either way.
#include <fcntl.h>
#include <unistd.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTest>
#include <cerrno>

#include "transfer/file_transfer.h"
#include "transfer/transfer_protocols.h"
#include "ui/program_on_pty.h"

namespace {

using korvani::transfer::kProtocols;

// 50,000 bytes: not a whole number of XMODEM blocks, so the padding shows.
QByteArray Content() {
  QByteArray bytes(50000, '\0');
  QRandomGenerator random(31);
  for (char& byte : bytes) {
    byte = static_cast<char>(random.bounded(256));
  }
  return bytes;
}

// The line between the program and the board's program: the pty's master to the board's
// program and back, until both have ended (or `ms` passed).
void Bridge(int line, QProcess& boardSide, korvani::transfer::FileTransfer& files, int ms) {
  fcntl(line, F_SETFL, fcntl(line, F_GETFL) | O_NONBLOCK);
  QByteArray toLine;
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) {
    toLine += boardSide.readAllStandardOutput();
    if (!toLine.isEmpty()) {
      const ssize_t written = write(line, toLine.constData(), static_cast<std::size_t>(toLine.size()));
      if (written > 0) {
        toLine.remove(0, written);
      }
    }
    char buffer[65536];
    const ssize_t got = read(line, buffer, sizeof buffer);
    if (got > 0 && boardSide.state() == QProcess::Running) {
      boardSide.write(buffer, got);
    }
    if (boardSide.state() == QProcess::NotRunning && !files.Running() && toLine.isEmpty()) {
      break;
    }
    QTest::qWait(1);
  }
}

// What a folder holds, hidden entries too.
QStringList Entries(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace

class LrzszTransferTest : public QObject {
  Q_OBJECT

 private slots:
  void aFileArrivesByteForByte_data() {
    QTest::addColumn<int>("entry");        // the program's entry in the protocol table
    QTest::addColumn<QString>("board");    // the board's program and arguments
    QTest::addColumn<QString>("arrives");  // where the file arrives: "board/" or "ours/" and its name
    QTest::addColumn<bool>("padded");      // XMODEM fills the last block with ^Z
    QTest::newRow("send XMODEM to a checksum receiver") << 0 << "rx out.bin"
                                                        << "board/out.bin" << true;
    QTest::newRow("send XMODEM to a CRC receiver") << 0 << "rx -c out.bin"
                                                   << "board/out.bin" << true;
    QTest::newRow("send XMODEM-1K") << 1 << "rx -c out.bin"
                                    << "board/out.bin" << true;
    QTest::newRow("send YMODEM") << 2 << "rb"
                                 << "board/file.bin" << false;
    QTest::newRow("send ZMODEM") << 3 << "rz"
                                 << "board/file.bin" << false;
    QTest::newRow("receive XMODEM with checksums") << 4 << "sx file.bin"
                                                   << "ours/got.bin" << true;
    QTest::newRow("receive XMODEM with CRCs") << 5 << "sx file.bin"
                                              << "ours/got.bin" << true;
    QTest::newRow("receive YMODEM") << 6 << "sb file.bin"
                                    << "ours/file.bin" << false;
    QTest::newRow("receive ZMODEM") << 7 << "sz file.bin"
                                    << "ours/file.bin" << false;
  }

  void aFileArrivesByteForByte() {
    QFETCH(int, entry);
    QFETCH(QString, board);
    QFETCH(QString, arrives);
    QFETCH(bool, padded);
    const korvani::transfer::ProtocolEntry& protocol = kProtocols.at(static_cast<std::size_t>(entry));
    QStringList command = board.split(QLatin1Char(' '));
    const QString boardProgram = QStandardPaths::findExecutable(command.takeFirst());
    QVERIFY2(!boardProgram.isEmpty(), "lrzsz is not installed: run scripts/install-deps.sh test");

    Program program;
    QVERIFY(program.Dir.isValid());
    QDir(program.Dir.path()).mkpath(QStringLiteral("board"));
    QDir(program.Dir.path()).mkpath(QStringLiteral("ours"));
    const QByteArray content = Content();
    const bool sending = protocol.Way == korvani::transfer::Direction::Send;
    QFile original(
        program.Dir.filePath(sending ? QStringLiteral("ours/file.bin") : QStringLiteral("board/file.bin")));
    QVERIFY(original.open(QIODevice::WriteOnly));
    original.write(content);
    original.close();

    // The board's program first, as a user starts the board's side and then the panel's.
    QProcess boardSide;
    boardSide.setWorkingDirectory(program.Dir.filePath(QStringLiteral("board")));
    boardSide.setStandardErrorFile(QProcess::nullDevice());
    boardSide.start(boardProgram, command);
    QVERIFY(boardSide.waitForStarted());
    QTest::qWait(300);

    std::string picked;
    if (sending) {
      picked = original.fileName().toStdString();
    } else if (protocol.Asks == korvani::transfer::Pick::FileToWrite) {
      picked = program.Dir.filePath(QStringLiteral("ours/got.bin")).toStdString();
    } else {
      picked = program.Dir.filePath(QStringLiteral("ours")).toStdString();
    }
    auto& files = program.App->Panel().Current().Transfers();
    QVERIFY(files.Run(protocol, picked));

    Bridge(program.BoardFd, boardSide, files, 60000);
    QVERIFY2(!files.Running(), "the transfer did not end within a minute");
    QCOMPARE(boardSide.exitCode(), 0);
    const QString outcome = program.Ui().lblTransfer->text();
    QVERIFY2(outcome.contains(sending ? QStringLiteral(": sent,") : QStringLiteral(": received,")),
             qPrintable(outcome));

    QFile arrived(program.Dir.filePath(arrives));
    QVERIFY2(arrived.open(QIODevice::ReadOnly), qPrintable(arrives));
    const QByteArray got = arrived.readAll();
    if (padded) {
      QCOMPARE(got.size(), (content.size() + 127) / 128 * 128);
      QCOMPARE(got.left(content.size()), content);
      QCOMPARE(got.mid(content.size()), QByteArray(got.size() - content.size(), '\x1a'));
    } else {
      QCOMPARE(got, content);
    }
    if (!sending) {  // the receiving program's own folder is gone
      QCOMPARE(Entries(program.Dir.filePath(QStringLiteral("ours"))),
               QStringList{QFileInfo(arrives).fileName()});
    }
    // The line is the views' again.
    QVERIFY(korvani::testing::WriteAllTo(program.BoardFd, "$ "));
    QTRY_VERIFY(program.App->Panel().Current().Receive().ViewText().find("$ ") != std::string::npos);
  }

  // A receive that fails or is cancelled leaves the folder chosen as it was: a file already
  // there untouched, nothing half received, nothing the sender named outside the rules.
  void aFailedReceiveLeavesTheFolderAsItWas_data() {
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("board");  // the board's program; "" for none (cancelled)
    QTest::addColumn<QString>("said");   // in the outcome
    QTest::newRow("XMODEM onto an existing file, cancelled") << 4 << ""
                                                             << ": cancelled,";
    QTest::newRow("ZMODEM sender naming a hidden file") << 7 << "sz -f .ssh/authorized_keys"
                                                        << "Security Violation";
  }

  void aFailedReceiveLeavesTheFolderAsItWas() {
    QFETCH(int, entry);
    QFETCH(QString, board);
    QFETCH(QString, said);
    const korvani::transfer::ProtocolEntry& protocol = kProtocols.at(static_cast<std::size_t>(entry));
    Program program;
    QVERIFY(program.Dir.isValid());
    QDir(program.Dir.path()).mkpath(QStringLiteral("board/.ssh"));
    QDir(program.Dir.path()).mkpath(QStringLiteral("ours"));
    QFile key(program.Dir.filePath(QStringLiteral("board/.ssh/authorized_keys")));
    QVERIFY(key.open(QIODevice::WriteOnly));
    key.write("ssh-ed25519 AAAA intruder");
    key.close();
    QFile kept(program.Dir.filePath(QStringLiteral("ours/got.bin")));
    QVERIFY(kept.open(QIODevice::WriteOnly));
    kept.write("what was there");
    kept.close();

    QProcess boardSide;
    if (!board.isEmpty()) {
      QStringList command = board.split(QLatin1Char(' '));
      boardSide.setWorkingDirectory(program.Dir.filePath(QStringLiteral("board")));
      boardSide.start(QStandardPaths::findExecutable(command.takeFirst()), command);
      QVERIFY(boardSide.waitForStarted());
    }
    auto& files = program.App->Panel().Current().Transfers();
    const QString picked = protocol.Asks == korvani::transfer::Pick::FileToWrite
                               ? program.Dir.filePath(QStringLiteral("ours/got.bin"))
                               : program.Dir.filePath(QStringLiteral("ours"));
    QVERIFY(files.Run(protocol, picked.toStdString()));
    if (board.isEmpty()) {
      QTest::qWait(1500);  // the receiver has begun asking
      files.Cancel();
      QTRY_VERIFY(!files.Running());
    } else {
      Bridge(program.BoardFd, boardSide, files, 30000);
      boardSide.kill();
      boardSide.waitForFinished();
    }
    QVERIFY(!files.Running());
    const QString outcome = program.Ui().lblTransfer->text();
    QVERIFY2(outcome.contains(said), qPrintable(outcome));
    QCOMPARE(Entries(program.Dir.filePath(QStringLiteral("ours"))), QStringList{QStringLiteral("got.bin")});
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("what was there"));
  }
};

QTEST_MAIN(LrzszTransferTest)
#include "lrzsz_transfer_test.moc"
