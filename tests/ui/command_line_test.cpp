// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's table, without a window: good values reach the options, bad ones are
// refused with their reason, and --help is written from the same table.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "terminal/session_file.h"

using korvani::app::CommandLine;
using korvani::app::ParseCommandLine;

class CommandLineTest : public QObject {
  Q_OBJECT

 private slots:
  void goodValuesReachTheOptions() {
    const CommandLine line = ParseCommandLine(
        {"--port", "/dev/ttyUSB0", "--baud=250000", "--format", "7E1", "--flow", "rtscts", "--dtr=off",
         "--scrollback", "20000 characters", "--timestamps", "--fullscreen", "--no-update-check", "/T"});
    QCOMPARE(line.What, CommandLine::Outcome::Run);
    const auto& options = line.Options;
    QCOMPARE(options.PortPath, std::string("/dev/ttyUSB0"));
    QCOMPARE(options.Line.Baud, std::optional<std::int32_t>(250000));
    QCOMPARE(options.Line.Format, std::optional<std::string>("7E1"));
    QCOMPARE(options.Line.Flow, std::optional(korvani::ports::FlowControl::RtsCts));
    QCOMPARE(options.Line.Dtr, std::optional<bool>(false));
    QVERIFY(!options.Line.Rts);
    QCOMPARE(options.Scrollback, std::optional(korvani::terminal::Scrollback{20000, true}));
    QVERIFY(options.Timestamps && options.FullScreen && options.NoUpdateCheck && !options.Demo);
    // The options themselves, not their values: "/T" is found there.
    QCOMPARE(options.Arguments, (std::vector<std::string>{"--port", "--baud=250000", "--format", "--flow",
                                                          "--dtr=off", "--scrollback", "--timestamps",
                                                          "--fullscreen", "--no-update-check", "/T"}));
    QCOMPARE(ParseCommandLine({"--demo", "--speed", "0.5"}).Options.ReplaySpeed, 0.5);
    QVERIFY(ParseCommandLine({"--console"}).Options.Console);
    QVERIFY(ParseCommandLine({"--plot"}).Options.Plot);
    QCOMPARE(ParseCommandLine({"--version", "--prot"}).What, CommandLine::Outcome::Version);
    QCOMPARE(ParseCommandLine({"-h"}).What, CommandLine::Outcome::Help);
  }

  // A line option is the port's named before it; before any port, every port's.
  void eachPortTakesTheLineOptionsAfterItOrBeforeAll() {
    const CommandLine line =
        ParseCommandLine({"--format", "7E1", "--port", "/dev/ttyUSB0", "--baud", "9600", "--port",
                          "/dev/ttyACM0", "--port", "tcp://bridge:23", "--baud", "115200", "--dtr", "off"});
    QCOMPARE(line.What, CommandLine::Outcome::Run);
    const auto& options = line.Options;
    QCOMPARE(options.PortPath, std::string("/dev/ttyUSB0"));
    QCOMPARE(options.Line.Baud, std::optional<std::int32_t>(9600));
    QCOMPARE(options.Line.Format, std::optional<std::string>("7E1"));
    QCOMPARE(options.MorePorts.size(), std::size_t{2});
    QCOMPARE(options.MorePorts[0].Path, std::string("/dev/ttyACM0"));
    QVERIFY(!options.MorePorts[0].Line.Baud);
    QCOMPARE(options.MorePorts[0].Line.Format, std::optional<std::string>("7E1"));
    QCOMPARE(options.MorePorts[1].Line.Baud, std::optional<std::int32_t>(115200));
    QCOMPARE(options.MorePorts[1].Line.Dtr, std::optional<bool>(false));
    QVERIFY(!options.Line.Dtr);
    QCOMPARE(ParseCommandLine({"--port", "a", "--port", "tcp://bridge"}).Refusal,
             std::string("korvani: --port tcp://bridge: the address needs a port number: tcp://HOST:PORT"));
  }

  void badValuesAreRefusedWithTheirReason_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("unknown") << QStringList{"--prot", "/dev/ttyUSB0"}
                             << "korvani: unknown option --prot (korvani --help lists them)";
    QTest::newRow("port without its path")
        << QStringList{"--port"} << "korvani: --port needs a device path, for example --port /dev/ttyUSB0";
    QTest::newRow("a value missing") << QStringList{"--record"}
                                     << "korvani: --record needs a value (korvani --help lists them)";
    QTest::newRow("format")
        << QStringList{"--format=9N1"}
        << "korvani: --format 9N1: the format is data bits 5 to 8, parity N, E, O, M or S, stop "
           "bits 1, 1.5 or 2, for example --format 8N1";
    QTest::newRow("scrollback")
        << QStringList{"--scrollback=500"}
        << "korvani: --scrollback 500: the lines kept are a whole number from 1000 to "
           "10000000, or 20000 characters and up";
    QTest::newRow("speed")
        << QStringList{"--replay", "x.kvr", "--speed", "fast"}
        << "korvani: --speed fast: the pace is a number, 1 as recorded, 0 as fast as possible";
    QTest::newRow("network address") << QStringList{"--port", "tcp://bridge"}
                                     << "korvani: --port tcp://bridge: the address needs a port number: "
                                        "tcp://HOST:PORT";
    QTest::newRow("headless without a script")
        << QStringList{"--headless", "--demo"}
        << "korvani: --headless needs --script FILE: the script is what runs without a window";
    QTest::newRow("headless on two ports")
        << QStringList{"--headless", "--script", "x.lua", "--port", "/dev/a", "--port", "/dev/b"}
        << "korvani: --headless runs one port: name one --port";
    QTest::newRow("a switch with a value")
        << QStringList{"--demo=yes"} << "korvani: unknown option --demo=yes (korvani --help lists them)";
  }
  void badValuesAreRefusedWithTheirReason() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, refusal);
    std::vector<std::string> given;
    for (const QString& argument : arguments) {
      given.push_back(argument.toStdString());
    }
    const CommandLine line = ParseCommandLine(given);
    QCOMPARE(line.What, CommandLine::Outcome::Refused);
    QCOMPARE(QString::fromStdString(line.Refusal), refusal);
  }

  // A recording is checked before any window: one that is none is refused, and so is
  // recording into the file being replayed, by whatever name.
  void aReplayIsCheckedBeforeAnyWindow() {
    QTemporaryDir dir;
    const std::string recording = dir.filePath(QStringLiteral("s.kvr")).toStdString();
    QFile file(QString::fromStdString(recording));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(korvani::terminal::FormatSessionHeader({}).c_str());
    file.close();
    QCOMPARE(ParseCommandLine({"--replay", recording}).What, CommandLine::Outcome::Run);
    QCOMPARE(ParseCommandLine({"--replay", recording, "--record", dir.filePath("t.kvr").toStdString()}).What,
             CommandLine::Outcome::Run);
    const CommandLine onto =
        ParseCommandLine({"--replay", recording, "--record", dir.path().toStdString() + "/./s.kvr"});
    QCOMPARE(onto.What, CommandLine::Outcome::Refused);
    QVERIFY(QString::fromStdString(onto.Refusal)
                .endsWith("it is the recording --replay plays; recording into it would destroy it"));
    const CommandLine notOne =
        ParseCommandLine({"--replay", QFINDTESTDATA("command_line_test.cpp").toStdString()});
    QVERIFY(QString::fromStdString(notOne.Refusal).endsWith(": not a Korvani session recording"));
  }

  // --help names every option, in the table's order, each under the one before.
  void helpIsWrittenFromTheTable() {
    const QString help = QString::fromStdString(korvani::app::UsageText());
    qsizetype at = 0;
    for (const char* option : {"  --port PATH   add",
                               "  --port tcp://HOST:PORT  a board",
                               "  --demo",
                               "  --record FILE",
                               "  --replay FILE",
                               "  --speed X",
                               "  --baud N",
                               "  --format DPS",
                               "  --flow F",
                               "  --dtr on|off",
                               "  --rts on|off",
                               "  --scrollback N",
                               "  --timestamps",
                               "  --fullscreen",
                               "  --no-update-check",
                               "  /T",
                               "  --version",
                               "  --help",
                               "Settings: ",
                               "Logs: "}) {
      const qsizetype found = help.indexOf(QLatin1String(option), at);
      QVERIFY2(found > at, option);
      at = found;
    }
    QVERIFY(help.contains(QStringLiteral("\n                it at start-up with the speed")));
  }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "command_line_test.moc"
