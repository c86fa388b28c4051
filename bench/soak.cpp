// SPDX-License-Identifier: GPL-3.0-or-later
// soak: mixed traffic and random well-formed board commands into the running program for a
// long time, with its resident memory sampled once a second. The program is built as
// main() builds it and runs on this process's main thread; a second thread plays the
// board: buttons defined and removed, screens set up, colours, bar graphs, notices,
// prompts, log lines and disk logs, between lines of plain text.
//
// Passes when the program answered to the end and its memory stayed flat after the warm-up
// (the first tenth of the run, at least 10 seconds): no sample afterwards more than 5 MB
// above the highest sample of the warm-up.
//
// Usage: soak [--seconds N]   (default 600)
#include <QApplication>
#include <QFont>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "hmi/link/protocol.h"
#include "mixed_traffic.h"
#include "pty_harness.h"
#include "ui/korvani_app.h"

namespace {

using korvani::bench::Clock;
using korvani::bench::PtyPair;
using korvani::bench::SecondsSince;
using korvani::hmi::link::BoardMessage;

constexpr double kAllowedGrowthMb = 5.0;

// One random board command, always well-formed, never one that stops the panel with a
// message box (a log is opened with a mode before it is written or renewed; widths stay
// within what the layouts hold).
class RandomBoard {
 public:
  std::string Next() {
    switch (Pick(0, 17)) {
      case 0:
        return BoardMessage('O', {Number(1, 100), Number(0, 24), Number(0, 38), Number(1, 3), Number(2, 12),
                                  "B" + Number(1, 999), Flags(), "K" + Number(1, 100)});
      case 1:
        return BoardMessage('U');
      case 2:
        return BoardMessage('S');
      case 3:
        return BoardMessage('V', {Number(20, 80), "W"});
      case 4:
        return BoardMessage('Q', {Number(0, 24), Number(0, 30), "1", Number(1, 10), Fraction()});
      case 5:
      case 6:
        return BoardMessage('F', {Number(0, 25), Number(0, 39)}) + BoardMessage('@', {Text(1, 30)});
      case 7:
        return BoardMessage(Pick(0, 1) == 0 ? 'K' : 'L', {Number(0, 255), Number(0, 255), Number(0, 255)});
      case 8:
        return BoardMessage(Pick(0, 1) == 0 ? 'G' : 'H');
      case 9:
        return BoardMessage('W') + BoardMessage('R');
      case 10:
        return BoardMessage('X', {Hex()});
      case 11:
        return BoardMessage('!', {Text(1, 60) + "\r\n"});
      case 12:
        return DiskLog();
      case 13:
        return BoardMessage('p', {Text(1, 40), "en", "GB", ""});
      case 14:
        return BoardMessage('q', {Text(1, 40)});
      case 15:
        return BoardMessage('T', {Text(1, 20), Number(0, 10), Number(11, 1000), "T" + Number(1, 9)});
      case 16:
        return BoardMessage('E', {Number(0, 2), Number(0, 5)}) + BoardMessage('@', {Text(1, 10)});
      default:
        return BoardMessage('r');
    }
  }

 private:
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(Random); }
  std::string Number(int low, int high) { return std::to_string(Pick(low, high)); }
  std::string Fraction() { return std::to_string(Pick(0, 1000) / 1000.0); }
  std::string Flags() {
    static const char* const kFlags[] = {"", "I", "R", "R10", "1"};
    return kFlags[Pick(0, 4)];
  }
  std::string Hex() {
    char text[8];
    std::snprintf(text, sizeof text, "%X", Pick(0, 255));
    return text;
  }
  std::string Text(int shortest, int longest) {
    std::string text(static_cast<std::size_t>(Pick(shortest, longest)), ' ');
    for (char& ch : text) {
      ch = static_cast<char>(Pick(32, 126));
    }
    return text;
  }
  std::string DiskLog() {
    const std::string name = "soak" + Number(1, 3) + ".log";
    std::string messages = BoardMessage('Y', {name, Number(0, 3)});
    if (Pick(0, 9) == 0) {
      messages += BoardMessage('Z', {name});
    }
    return messages + BoardMessage('D') + BoardMessage('C') + BoardMessage('B', {Text(1, 30)}) +
           BoardMessage('A');
  }

  std::mt19937 Random{7};
};

struct Result {
  std::vector<double> Samples;  // RSS in MB, once a second
  int Commands = 0;
  double Megabytes = 0;
  bool Answered = true;
};

// The board's side: traffic and commands at about a megabyte a second, with a clock
// request every 100 ms that keeps the two sides in step and drains the panel's replies.
void PlayBoard(PtyPair& pty, double seconds, Result& result) {
  RandomBoard board;
  // The traffic in pieces of about 60 KB, each ending at a line end.
  const std::string traffic = korvani::bench::MixedTraffic(1 << 20);
  std::vector<std::string> pieces;
  for (std::size_t from = 0; from + 60000 < traffic.size();) {
    const std::size_t end = traffic.rfind("\r\n", from + 60000) + 2;
    pieces.push_back(traffic.substr(from, end - from));
    from = end;
  }
  std::size_t next = 0;
  const auto start = Clock::now();
  auto nextSample = start;
  while (SecondsSince(start) < seconds) {
    if (Clock::now() >= nextSample) {
      result.Samples.push_back(korvani::bench::RssMegabytes());
      nextSample += std::chrono::seconds(1);
    }
    std::string slice;
    for (int i = 0; i < 20; ++i) {
      slice += board.Next();
      ++result.Commands;
    }
    slice += pieces[next];
    next = (next + 1) % pieces.size();
    pty.WriteAll(slice);
    result.Megabytes += static_cast<double>(slice.size()) / (1024.0 * 1024.0);
    pty.WriteAll(BoardMessage('r'));
    if (!pty.AwaitClock(10000)) {
      result.Answered = false;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  result.Samples.push_back(korvani::bench::RssMegabytes());
}

}  // namespace

int main(int argc, char* argv[]) {
  double seconds = 600;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--seconds" && i + 1 < argc) {
      seconds = std::stod(argv[++i]);
    } else {
      std::fprintf(stderr, "Usage: soak [--seconds N]\n");
      return 2;
    }
  }
  QTemporaryDir folder;
  korvani::bench::PrepareEnvironment(folder);
  korvani::app::SettingsValues values;
  values.LogFolder = folder.filePath("logs").toStdString();
  values.TraceToDisk = true;
  values.TraceFileName = folder.filePath("trace.txt").toStdString();
  std::filesystem::create_directories(values.LogFolder);
  korvani::bench::WriteSettings(folder, values);

  PtyPair pty;
  QApplication application(argc, argv);
  QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
  // A history that fills within the warm-up, so what is measured after it is what leaks.
  korvani::ui::KorvaniApp program({pty.SlavePath, false, {"/T"}, {}, korvani::terminal::Scrollback{10000}});
  program.Start();

  Result result;
  std::thread board([&] {
    PlayBoard(pty, seconds, result);
    QMetaObject::invokeMethod(qApp, &QApplication::quit, Qt::QueuedConnection);
  });
  QApplication::exec();
  board.join();

  const std::size_t warmUp = std::max<std::size_t>(10, result.Samples.size() / 10);
  double warmUpPeak = 0;
  double laterPeak = 0;
  for (std::size_t i = 0; i < result.Samples.size(); ++i) {
    (i < warmUp ? warmUpPeak : laterPeak) = std::max(i < warmUp ? warmUpPeak : laterPeak, result.Samples[i]);
  }
  const double first = result.Samples.empty() ? 0 : result.Samples.front();
  const double last = result.Samples.empty() ? 0 : result.Samples.back();
  std::printf("Soak of %.0f s: %d board commands and %.0f MB of traffic\n", seconds, result.Commands,
              result.Megabytes);
  std::printf(
      "RSS: %.1f MB at the start, %.1f MB at most in the warm-up (%zu s), %.1f MB at most after it, "
      "%.1f MB at the end\n",
      first, warmUpPeak, warmUp, laterPeak, last);
  const bool flat = laterPeak <= warmUpPeak + kAllowedGrowthMb;
  if (!result.Answered) {
    std::printf("FAILED: the program stopped answering the clock request\n");
  } else if (!flat) {
    std::printf("FAILED: memory grew by %.1f MB after the warm-up\n", laterPeak - warmUpPeak);
  } else {
    std::printf("Passed: the program answered to the end and its memory stayed flat\n");
  }
  return result.Answered && flat ? 0 : 1;
}
