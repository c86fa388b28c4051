// SPDX-License-Identifier: GPL-3.0-or-later
// flood_outside: floods the built program as a user runs it, a process of its own on a pty,
// and measures it from outside. Before the program opens the port, `cat` drains the same pty
// with the same workload: its rate is the pty's own ceiling. Then, with the panel tab in view
// (as after start-up) and with the Terminal tab in view (clicked with xdotool; under an X
// server only), the program drains the mixed workload with both terminal logs on.
//
// Reported for each view: drained MB/s and its ratio to cat, CPU seconds per MB of the
// program (from /proc), its peak RSS, the longest time the view in sight went without a
// repaint (from the program's paint trace, KORVANI_PAINT_TRACE), and the bytes missing from
// the two terminal logs. Each view runs --runs times (3 unless told) and the run with the
// median CPU per MB is reported, with the range of all runs beside it.
// With --timestamps the program stamps its view and ASCII log (the stamps are taken off again
// before the log is checked); the resident set is also read at 70% of the flood and at its
// end, which with 100 MB or more shows it flat once the 1,000,000-line history is full.
// With --console the program starts with the Terminal tab's console in view (--console) and
// every line of the workload begins with a colour change (SGR), as a board's coloured log
// does; the console's repaints are what the gap is read from.
// With --sessions 2 a second pty is named with --port again, so the program opens a second
// window on it, and a second board floods it with the same workload at the same time; each
// session's rate is its own drain time, CPU and memory are the whole program's.
// With --network the board is a TCP server on loopback (a serial-to-network bridge) and the
// program connects to it with --port tcp://127.0.0.1:PORT; there is no pty for cat then.
// Exit status 1 when a byte is lost or the program stops answering.
//
// Usage: flood_outside [--quick] [--megabytes N] [--runs N] [--logs-off] [--timestamps]
//                      [--network] [--console] [--sessions 2] [--program PATH]
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/settings.h"
#include "base/hex_notation.h"
#include "flood_checks.h"
#include "hmi/link/protocol.h"
#include "mixed_traffic.h"
#include "program_process.h"
#include "pty_harness.h"

namespace {

using namespace korvani::bench;  // the program's process, the pty and the checks
using korvani::hmi::link::BoardMessage;

constexpr double kSettleSeconds = 2;
constexpr int kAnswerMs = 60000;

struct Options {
  double Megabytes = 20;
  int Runs = 3;
  bool Logs = true;  // --logs-off: what the two terminal logs cost, by their absence
  bool Timestamps = false;
  bool Network = false;  // --network: the board behind a TCP server
  bool Console = false;  // --console: the console in view, a colour change on every line
  int Sessions = 1;      // --sessions 2: a second port, window and board, flooded at once
  std::string Program;
};

// `cat` draining the pty: MB/s and its CPU seconds per MB (0: no pty).
struct CatRun {
  double Rate = 0;
  double Cpu = 0;
};

struct ViewRun {
  std::string Name;
  bool Measured = false;
  std::string Note;  // why not
  double Megabytes = 0;
  double Seconds = 0;
  double CpuSeconds = 0;
  double SystemSeconds = 0;  // of which in the kernel
  double PeakRss = 0;
  double RssAt70 = 0;  // resident, at 70% of the flood and at its end
  double RssAtEnd = 0;
  double LongestGapMs = 0;
  std::int64_t Missing = 0;
  double SecondSeconds = 0;  // the second session's drain time (--sessions 2)
  CatRun Cat;                // cat on the same pty just before this run
};

class OutsideFlood {
 public:
  OutsideFlood(const Options& options, const QTemporaryDir& folder, BoardEnd& pty, BoardEnd* second)
      : Config(options), Folder(folder), Pty(pty), Second(second) {
    const std::string traffic = MixedTraffic(kBlockSize + 200);
    Block = traffic.substr(0, traffic.rfind("\r\n", kBlockSize) + 2);  // whole lines only
    if (options.Console) {
      std::string coloured;
      int line = 0;
      for (std::size_t at = 0; at < Block.size();) {
        const std::size_t end = Block.find("\r\n", at);
        const std::size_t next = end == std::string::npos ? Block.size() : end + 2;
        coloured += "\x1b[3" + std::to_string(1 + line++ % 7) + "m" + Block.substr(at, next - at);
        at = next;
      }
      Block = coloured;
    }
  }

  ViewRun Run(const std::string& name, bool terminalTab) {
    ViewRun run;
    run.Name = name;
    if (terminalTab && (!OnXcb() || !OnPath("xdotool"))) {
      run.Note = "skipped: the tab is clicked with xdotool on an X display";
      return run;
    }
    const std::string ascii = Folder.filePath("ascii.log").toStdString();
    const std::string hex = Folder.filePath("hex.log").toStdString();
    korvani::app::SettingsValues values;  // both terminal logs on, in the temporary folder
    values.AsciiLogFileName = ascii;
    values.HexLogFileName = hex;
    values.LogAscii = Config.Logs;
    values.LogHex = Config.Logs;
    WriteSettings(Folder, values);
    const std::string paints = Folder.filePath("paints.txt").toStdString();
    qputenv("KORVANI_PAINT_TRACE", QByteArray::fromStdString(paints));

    std::vector<std::string> arguments = {"--port", Pty.SlavePath, "/T"};
    if (Second != nullptr) {
      arguments.insert(arguments.end(), {"--port", Second->SlavePath});
    }
    if (Config.Timestamps) {
      arguments.emplace_back("--timestamps");
    }
    if (Config.Console) {
      arguments.emplace_back("--console");
    }
    RunningProgram program(Config.Program, arguments, Folder);
    if (!Ready(program) || (terminalTab && !SelectTerminalTab(program.Id()))) {
      run.Note = "failed: the program did not come up on " + Pty.SlavePath;
      return run;
    }
    Pause(kSettleSeconds);
    std::ofstream(ascii, std::ios::trunc);  // the program opens the logs for every write
    std::ofstream(hex, std::ios::trunc);
    // The second session's logs carry its port, the one after the first's.
    const std::string secondAscii = Folder.filePath("ascii-COM201.log").toStdString();
    const std::string secondHex = Folder.filePath("hex-COM201.log").toStdString();
    std::ofstream(secondAscii, std::ios::trunc);
    std::ofstream(secondHex, std::ios::trunc);

    const auto blocks =
        static_cast<std::size_t>(Config.Megabytes * kMegabyte / static_cast<double>(Block.size()) + 0.5);
    const std::string stat = "/proc/" + std::to_string(program.Id()) + "/stat";
    const std::string status = "/proc/" + std::to_string(program.Id()) + "/status";
    const double cpuBefore = CpuSecondsOf(stat);
    const double systemBefore = CpuSecondsOf(stat, true);
    const auto start = Clock::now();
    const std::int64_t startNs = NowNanoseconds();
    bool secondDrained = true;
    std::thread secondBoard;
    if (Second != nullptr) {
      secondBoard = std::thread([&] {
        for (std::size_t i = 0; i < blocks; ++i) {
          Second->WriteAll(Block);
        }
        Second->WriteAll(BoardMessage('r'));
        secondDrained = Second->AwaitClock(kAnswerMs);
        run.SecondSeconds = SecondsSince(start);
      });
    }
    for (std::size_t i = 0; i < blocks; ++i) {
      Pty.WriteAll(Block);
      if (i == blocks * 7 / 10) {
        run.RssAt70 = PeakRssMegabytes(status, "VmRSS:");
      }
    }
    const bool drained = Sync();
    run.Seconds = SecondsSince(start);
    if (secondBoard.joinable()) {
      secondBoard.join();
    }
    if (!drained || !secondDrained) {
      run.Note = "failed: the program stopped answering";
      return run;
    }
    run.LongestGapMs = ReadRepaints(paints, startNs, NowNanoseconds()).LongestGapMs;
    run.CpuSeconds = CpuSecondsOf(stat) - cpuBefore;
    run.SystemSeconds = CpuSecondsOf(stat, true) - systemBefore;
    run.PeakRss = PeakRssMegabytes(status);
    run.RssAtEnd = PeakRssMegabytes(status, "VmRSS:");
    run.Megabytes = static_cast<double>(blocks * Block.size()) / kMegabyte;
    program.Stop();

    const std::string tail = BoardMessage('r');
    const std::string blockShown = korvani::base::AsciiToDisplay(Block);
    const std::string tailShown = korvani::base::AsciiToDisplay(tail);
    if (Config.Logs) {
      if (Config.Timestamps) {
        WithoutStamps(ascii);
      }
      run.Missing = Differences(
          ascii, [&](std::size_t i) { return i < blocks ? blockShown : tailShown; }, blocks + 1);
      run.Missing += HexDifferences(hex, Block, blocks, tail);
      if (Second != nullptr) {
        if (Config.Timestamps) {
          WithoutStamps(secondAscii);
        }
        run.Missing += Differences(
            secondAscii, [&](std::size_t i) { return i < blocks ? blockShown : tailShown; }, blocks + 1);
        run.Missing += HexDifferences(secondHex, Block, blocks, tail);
      }
    }
    run.Measured = true;
    return run;
  }

 private:
  // The program has the port open and answers the clock request.
  bool Ready(RunningProgram& program) {
    const bool second = Second == nullptr || (AwaitConnection(program, *Second) && SyncSecond());
    return AwaitConnection(program, Pty) && Sync() && second;
  }
  bool SyncSecond() {
    Second->WriteAll(BoardMessage('r'));
    return Second->AwaitClock(kAnswerMs);
  }

  // A clock request; true once its answer is back, so everything sent before it was handled.
  bool Sync() {
    Pty.WriteAll(BoardMessage('r'));
    return Pty.AwaitClock(kAnswerMs);
  }

  const Options& Config;
  const QTemporaryDir& Folder;
  BoardEnd& Pty;
  BoardEnd* Second;  // --sessions 2
  std::string Block;
};

// The runs of one view: the one with the median CPU per MB, the range, and every lost byte.
struct Measured {
  ViewRun Median;
  double LeastCpu = 0;
  double MostCpu = 0;
  std::int64_t Missing = 0;
  bool Failed = false;
};

// `cat` runs before each run: the VM's speed drifts within minutes, so each run is set
// against the pty's ceiling of its own moment.
Measured MedianOf(OutsideFlood& flood, const std::string& name, bool terminalTab, int runs,
                  const std::function<CatRun()>& measureCat) {
  std::vector<ViewRun> done;
  Measured view;
  for (int i = 0; i < runs; ++i) {
    const CatRun cat = measureCat();
    ViewRun run = flood.Run(name, terminalTab);
    run.Cat = cat;
    if (!run.Measured) {
      view.Median = run;
      view.Failed = run.Note.rfind("failed", 0) == 0;
      return view;
    }
    view.Missing += run.Missing;
    done.push_back(run);
  }
  const auto cpu = [](const ViewRun& run) { return run.CpuSeconds / run.Megabytes; };
  std::sort(done.begin(), done.end(), [&](const ViewRun& a, const ViewRun& b) { return cpu(a) < cpu(b); });
  view.Median = done[done.size() / 2];
  view.LeastCpu = cpu(done.front());
  view.MostCpu = cpu(done.back());
  view.Failed = view.Missing != 0;
  return view;
}

}  // namespace

int main(int argc, char* argv[]) {
  Options options;
  options.Program = DefaultProgram();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--quick") {
      options.Megabytes = 2;
      options.Runs = 1;
    } else if (arg == "--megabytes" && i + 1 < argc) {
      options.Megabytes = std::stod(argv[++i]);
    } else if (arg == "--runs" && i + 1 < argc) {
      options.Runs = std::max(1, std::stoi(argv[++i]));
    } else if (arg == "--timestamps") {
      options.Timestamps = true;
    } else if (arg == "--console") {
      options.Console = true;
    } else if (arg == "--network") {
      options.Network = true;
    } else if (arg == "--sessions" && i + 1 < argc) {
      options.Sessions = std::clamp(std::stoi(argv[++i]), 1, 2);
    } else if (arg == "--logs-off") {
      options.Logs = false;
    } else if (arg == "--program" && i + 1 < argc) {
      options.Program = argv[++i];
    } else {
      std::fprintf(
          stderr,
          "Usage: flood_outside [--quick] [--megabytes N] [--runs N] [--logs-off] [--timestamps] [--console] "
          "[--network] [--sessions 2] [--program PATH]\n");
      return 2;
    }
  }
  if (access(options.Program.c_str(), X_OK) != 0) {
    std::fprintf(stderr, "flood_outside: %s is not a program to run (--program PATH)\n",
                 options.Program.c_str());
    return 2;
  }
  QTemporaryDir folder;
  PrepareOutsideEnvironment(folder);
  PtyPair pty;
  TcpLine network;
  if (pty.Master < 0 || network.SlavePath.empty()) {
    std::perror("flood_outside: openpty or listen");
    return 1;
  }
  const auto measureCat = [&] {
    CatRun cat;
    if (!options.Network) {
      cat.Rate = CatMegabytesPerSecond(pty, folder.path().toStdString(), options.Megabytes, &cat.Cpu);
    }
    return cat;
  };
  BoardEnd& line = options.Network ? static_cast<BoardEnd&>(network) : pty;
  PtyPair secondPty;

  OutsideFlood flood(options, folder, line, options.Sessions == 2 ? &secondPty : nullptr);
  std::vector<Measured> views;
  if (options.Console) {
    views.push_back(MedianOf(flood, "console in view, SGR on every line", false, options.Runs, measureCat));
  }
  for (const bool terminalTab : {false, true}) {
    if (options.Console || (terminalTab && options.Sessions == 2)) {
      break;
    }
    views.push_back(MedianOf(flood, terminalTab ? "Terminal tab in view" : "panel tab in view", terminalTab,
                             options.Runs, measureCat));
  }

  std::printf(
      "Outside flood of %s on %s; platform %s; median of %d runs%s; cat on the same pty before each run "
      "(0: no pty)\n\n",
      options.Program.c_str(), line.SlavePath.c_str(), PlatformName().c_str(), options.Runs,
      options.Timestamps ? "; time stamps on" : "");
  std::printf(
      "| View | MB | MB/s | of cat | CPU s/MB | of which kernel | times cat's CPU | CPU s/MB of all runs "
      "| peak RSS MB | RSS MB at 70%% / end | longest repaint gap ms | bytes lost | cat MB/s, CPU s/MB |\n");
  std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
  bool failed = false;
  for (const Measured& view : views) {
    const ViewRun& run = view.Median;
    failed = failed || view.Failed;
    if (!run.Measured) {
      std::printf("| %s | %s |\n", run.Name.c_str(), run.Note.c_str());
      continue;
    }
    const double rate = run.Megabytes / run.Seconds;
    const double cpu = run.CpuSeconds / (run.Megabytes * options.Sessions);  // per MB handled
    std::printf(
        "| %s | %.0f | %.1f | %.2f | %.4f | %.4f | %.1f | %.4f-%.4f | %.0f | %.0f / %.0f | %.0f | %lld | "
        "%.1f, "
        "%.4f |\n",
        run.Name.c_str(), run.Megabytes, rate, run.Cat.Rate > 0 ? rate / run.Cat.Rate : 0.0, cpu,
        run.SystemSeconds / (run.Megabytes * options.Sessions), run.Cat.Cpu > 0 ? cpu / run.Cat.Cpu : 0.0,
        view.LeastCpu / options.Sessions, view.MostCpu / options.Sessions, run.PeakRss, run.RssAt70,
        run.RssAtEnd, run.LongestGapMs, static_cast<long long>(view.Missing), run.Cat.Rate, run.Cat.Cpu);
    if (run.SecondSeconds > 0) {
      const double secondRate = run.Megabytes / run.SecondSeconds;
      std::printf("| the second session, at the same time | %.0f | %.1f | %.2f | (the program's, above) |\n",
                  run.Megabytes, secondRate, run.Cat.Rate > 0 ? secondRate / run.Cat.Rate : 0.0);
    }
  }
  if (failed) {
    std::printf("FAILED\n%s", ReadWhole(folder.filePath("korvani.out").toStdString()).c_str());
  }
  return failed ? 1 : 0;
}
