// SPDX-License-Identifier: GPL-3.0-or-later
// flood: floods the running program through a pseudo-terminal and measures what a user
// would notice. The program is built as main() builds it and runs its event loop on this
// process's main thread; a second thread plays a board that sends as fast as the line
// takes it. Before the program opens the port, `cat` drains the same pty with the same
// workload: its rate is the pty's own ceiling.
//
// Reported for each run: drained MB/s and its ratio to cat, CPU seconds per MB of the
// program (this process without the flooding thread, from /proc), peak RSS, the longest
// gap between two repaints of the receive pane, and the bytes missing from the two
// terminal logs. Then: screen messages drawn per second ("F" and "@" pairs) and the
// round trip of the clock request "r".
//
// Usage: flood [--quick] [--megabytes N] [--long-megabytes N] [--pairs N] [--rounds N]
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEvent>
#include <QFont>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSysInfo>
#include <QTabWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/settings.h"
#include "base/hex_notation.h"
#include "base/text.h"
#include "flood_checks.h"
#include "hmi/link/protocol.h"
#include "mixed_traffic.h"
#include "pty_harness.h"
#include "ui/korvani_app.h"

namespace {

using korvani::bench::CatMegabytesPerSecond;
using korvani::bench::Clock;
using korvani::bench::CpuSecondsOf;
using korvani::bench::Differences;
using korvani::bench::HexDifferences;
using korvani::bench::kBlockSize;
using korvani::bench::kMegabyte;
using korvani::bench::PeakRssMegabytes;
using korvani::bench::PtyPair;
using korvani::bench::SecondsSince;
using korvani::hmi::link::BoardMessage;

struct Options {
  double Megabytes = 20;
  double LongMegabytes = 200;
  int Pairs = 500000;
  int Rounds = 1000;
};

// Repaints of one widget, timed on the window thread.
class PaintClock final : public QObject {
 public:
  void Start() {
    Last = Clock::now().time_since_epoch().count();
    Longest = 0;
    Recording = true;
  }
  double StopMs() {
    Recording = false;
    const double sinceLast = static_cast<double>(Clock::now().time_since_epoch().count() - Last) / 1e6;
    return std::max(static_cast<double>(Longest.load()) / 1e6, sinceLast);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && Recording) {
      const std::int64_t now = Clock::now().time_since_epoch().count();
      Longest = std::max(Longest.load(), now - Last.load());
      Last = now;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::atomic<bool> Recording = false;
  std::atomic<std::int64_t> Last = 0;
  std::atomic<std::int64_t> Longest = 0;
};

struct Run {
  std::string Name;
  double Megabytes = 0;
  double Seconds = 0;
  double CpuSeconds = 0;
  double PeakRss = 0;
  double LongestGapMs = 0;
  std::int64_t Missing = 0;  // bytes absent from (or wrong in) the logs
};

class Flood {
 public:
  Flood(const Options& options, korvani::ui::KorvaniApp& program, PtyPair& pty, const QString& folder)
      : Opts(options), Program(program), Pty(pty), Folder(folder.toStdString()) {
    std::string traffic = korvani::bench::MixedTraffic(kBlockSize + 200);
    Block = traffic.substr(0, traffic.rfind("\r\n", kBlockSize) + 2);  // whole lines only
  }

  // Every measurement, on the flooding thread. The window thread keeps handling events.
  void Measure() {
    ThreadStat = "/proc/self/task/" + std::to_string(syscall(SYS_gettid)) + "/stat";
    if (!Sync()) {
      std::fprintf(stderr, "flood: the program did not answer on %s\n", Pty.SlavePath.c_str());
      Failed = true;
      return;
    }
    Runs.push_back(FloodRun("ASCII view", Opts.Megabytes));
    RssAfterShort = PeakRssMegabytes();
    Runs.push_back(FloodRun("ASCII view, continued", Opts.LongMegabytes));
    RssAfterLong = PeakRssMegabytes();
    OnWindowThread([this] { Program.Window().Ui().optRxHex->click(); });
    Runs.push_back(FloodRun("hex view", Opts.Megabytes));
    OnWindowThread([this] { Program.Window().Ui().optRxASCII->click(); });
    MeasurePairs();
    MeasureClock();
  }

  void Report(double catMBps) const {
    std::printf("Flood of %s on %s, %d cores, %s\n", Pty.SlavePath.c_str(),
                QSysInfo::prettyProductName().toStdString().c_str(),
                static_cast<int>(std::thread::hardware_concurrency()),
                QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd")).toStdString().c_str());
    std::printf("cat on the same pty: %.1f MB/s\n\n", catMBps);
    std::printf(
        "| Run | MB | MB/s | of cat | CPU s/MB | peak RSS MB | longest repaint gap ms | bytes lost |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    for (const Run& run : Runs) {
      const double rate = run.Megabytes / run.Seconds;
      std::printf("| %s | %.0f | %.1f | %.2f | %.4f | %.0f | %.0f | %lld |\n", run.Name.c_str(),
                  run.Megabytes, rate, rate / catMBps, run.CpuSeconds / run.Megabytes, run.PeakRss,
                  run.LongestGapMs, static_cast<long long>(run.Missing));
    }
    std::printf("\nPeak RSS after %.0f MB: %.0f MB; after %.0f MB more: %.0f MB\n", Opts.Megabytes,
                RssAfterShort, Opts.LongMegabytes, RssAfterLong);
    std::printf("\"F\" and \"@\" pairs drawn: %.0f a second (%d pairs)\n", PairsPerSecond, Opts.Pairs);
    std::printf(
        "Clock request \"r\" answered on the wire: median %.3f ms, 99th percentile %.3f ms, most %.3f ms (%d "
        "rounds)\n",
        ClockMedianMs, ClockP99Ms, ClockMaxMs, Opts.Rounds);
  }

  [[nodiscard]] std::int64_t BytesLost() const {
    std::int64_t lost = 0;
    for (const Run& run : Runs) {
      lost += run.Missing;
    }
    return lost;
  }

  bool Failed = false;

 private:
  template <typename Work>
  void OnWindowThread(Work work) {
    QMetaObject::invokeMethod(&Program.Window(), work, Qt::BlockingQueuedConnection);
  }

  // A clock request; true once its answer is back, so everything sent before it was handled.
  bool Sync() {
    Pty.WriteAll(BoardMessage('r'));
    return Pty.AwaitClock(30000);
  }

  double ProgramCpu() const { return CpuSecondsOf("/proc/self/stat") - CpuSecondsOf(ThreadStat); }

  Run FloodRun(const std::string& name, double megabytes) {
    const std::string ascii = Folder + "/ascii.log";
    const std::string hex = Folder + "/hex.log";
    // The program opens the logs for every write, so they can be emptied between runs.
    std::ofstream(ascii, std::ios::trunc);
    std::ofstream(hex, std::ios::trunc);
    const auto blocks =
        static_cast<std::size_t>(megabytes * kMegabyte / static_cast<double>(Block.size()) + 0.5);

    Run run;
    run.Name = name;
    run.Megabytes = static_cast<double>(blocks * Block.size()) / kMegabyte;
    OnWindowThread([this] { Paints.Start(); });
    const double cpuBefore = ProgramCpu();
    const auto start = Clock::now();
    for (std::size_t i = 0; i < blocks; ++i) {
      Pty.WriteAll(Block);
    }
    if (!Sync()) {
      Failed = true;
    }
    run.Seconds = SecondsSince(start);
    run.CpuSeconds = ProgramCpu() - cpuBefore;
    OnWindowThread([this, &run] { run.LongestGapMs = Paints.StopMs(); });
    run.PeakRss = PeakRssMegabytes();

    const std::string tail = BoardMessage('r');
    const std::string blockShown = korvani::base::AsciiToDisplay(Block);
    const std::string tailShown = korvani::base::AsciiToDisplay(tail);
    run.Missing = Differences(
        ascii, [&](std::size_t i) { return i < blocks ? blockShown : tailShown; }, blocks + 1);
    run.Missing += HexDifferences(hex, Block, blocks, tail);
    return run;
  }

  void MeasurePairs() {
    std::string pairs;
    const int perBatch = 10000;
    for (int i = 0; i < perBatch; ++i) {
      pairs +=
          BoardMessage('F', {std::to_string(i % 26), std::to_string(i % 30)}) + BoardMessage('@', {"Hello"});
    }
    const int batches = std::max(1, Opts.Pairs / perBatch);
    const auto start = Clock::now();
    for (int i = 0; i < batches; ++i) {
      Pty.WriteAll(pairs);
    }
    if (!Sync()) {
      Failed = true;
    }
    PairsPerSecond = batches * perBatch / SecondsSince(start);
  }

  void MeasureClock() {
    std::vector<double> times;
    for (int i = 0; i < Opts.Rounds; ++i) {
      const auto start = Clock::now();
      if (!Sync()) {
        Failed = true;
        return;
      }
      times.push_back(SecondsSince(start) * 1000);
    }
    std::sort(times.begin(), times.end());
    ClockMedianMs = times[times.size() / 2];
    ClockP99Ms = times[times.size() * 99 / 100];
    ClockMaxMs = times.back();
  }

 public:
  PaintClock Paints;

 private:
  Options Opts;
  korvani::ui::KorvaniApp& Program;
  PtyPair& Pty;
  std::string Folder;
  std::string Block;
  std::string ThreadStat;
  std::vector<Run> Runs;
  double RssAfterShort = 0;
  double RssAfterLong = 0;
  double PairsPerSecond = 0;
  double ClockMedianMs = 0;
  double ClockP99Ms = 0;
  double ClockMaxMs = 0;
};

Options ReadOptions(int argc, char* argv[]) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--quick") {
      options = {2, 10, 20000, 100};
    } else if (arg == "--megabytes" && hasValue) {
      options.Megabytes = std::stod(argv[++i]);
    } else if (arg == "--long-megabytes" && hasValue) {
      options.LongMegabytes = std::stod(argv[++i]);
    } else if (arg == "--pairs" && hasValue) {
      options.Pairs = std::stoi(argv[++i]);
    } else if (arg == "--rounds" && hasValue) {
      options.Rounds = std::stoi(argv[++i]);
    } else {
      std::fprintf(stderr,
                   "Usage: flood [--quick] [--megabytes N] [--long-megabytes N] [--pairs N] [--rounds N]\n");
      std::exit(2);
    }
  }
  return options;
}

}  // namespace

int main(int argc, char* argv[]) {
  const Options options = ReadOptions(argc, argv);
  QTemporaryDir folder;
  korvani::bench::PrepareEnvironment(folder);

  PtyPair pty;
  if (pty.Master < 0) {
    std::perror("flood: openpty");
    return 1;
  }
  const double catMBps = CatMegabytesPerSecond(pty, folder.path().toStdString(), options.Megabytes);

  // Both terminal logs on, in the temporary folder.
  korvani::app::SettingsValues values;
  values.AsciiLogFileName = folder.filePath("ascii.log").toStdString();
  values.HexLogFileName = folder.filePath("hex.log").toStdString();
  values.LogAscii = true;
  values.LogHex = true;
  korvani::bench::WriteSettings(folder, values);

  QApplication application(argc, argv);
  QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
  korvani::ui::KorvaniApp program({pty.SlavePath, false, {"/T"}, {}});
  program.Start();
  program.Window().Ui().SSTab1->setCurrentIndex(0);  // the Terminal tab, where the pane is seen

  Flood flood(options, program, pty, folder.path());
  program.Window().Ui().txtRxData->viewport()->installEventFilter(&flood.Paints);
  std::thread board([&flood] {
    flood.Measure();
    QMetaObject::invokeMethod(qApp, &QApplication::quit, Qt::QueuedConnection);
  });
  QApplication::exec();
  board.join();
  flood.Report(catMBps);
  return flood.Failed || flood.BytesLost() != 0 ? 1 : 0;
}
