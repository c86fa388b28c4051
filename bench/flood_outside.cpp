// flood_outside: floods the built program as a user runs it, a process of its own on a pty,
// and measures it from outside. Before the program opens the port, `cat` drains the same pty
// with the same workload: its rate is the pty's own ceiling. Then, with the panel tab in view
// (as after start-up) and with the Terminal tab in view (clicked with xdotool; under an X
// server only), the program drains the mixed workload with both terminal logs on.
//
// Reported for each view: drained MB/s and its ratio to cat, CPU seconds per MB of the
// program (from /proc), its peak RSS, and the bytes missing from the two terminal logs.
// Exit status 1 when a byte is lost or the program stops answering.
//
// Usage: flood_outside [--quick] [--megabytes N] [--logs-off] [--program PATH]
#include <QTemporaryDir>
#include <cstdio>
#include <string>
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
  bool Logs = true;  // --logs-off: what the two terminal logs cost, by their absence
  std::string Program;
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
  std::int64_t Missing = 0;
};

class OutsideFlood {
 public:
  OutsideFlood(const Options& options, const QTemporaryDir& folder, const PtyPair& pty)
      : Config(options), Folder(folder), Pty(pty) {
    const std::string traffic = MixedTraffic(kBlockSize + 200);
    Block = traffic.substr(0, traffic.rfind("\r\n", kBlockSize) + 2);  // whole lines only
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

    RunningProgram program(Config.Program, {"--port", Pty.SlavePath, "/T"}, Folder);
    if (!Ready(program) || (terminalTab && !SelectTerminalTab(program.Id()))) {
      run.Note = "failed: the program did not come up on " + Pty.SlavePath;
      return run;
    }
    Pause(kSettleSeconds);
    std::ofstream(ascii, std::ios::trunc);  // the program opens the logs for every write
    std::ofstream(hex, std::ios::trunc);

    const auto blocks =
        static_cast<std::size_t>(Config.Megabytes * kMegabyte / static_cast<double>(Block.size()) + 0.5);
    const std::string stat = "/proc/" + std::to_string(program.Id()) + "/stat";
    const double cpuBefore = CpuSecondsOf(stat);
    const double systemBefore = CpuSecondsOf(stat, true);
    const auto start = Clock::now();
    for (std::size_t i = 0; i < blocks; ++i) {
      Pty.WriteAll(Block);
    }
    if (!Sync()) {
      run.Note = "failed: the program stopped answering";
      return run;
    }
    run.Seconds = SecondsSince(start);
    run.CpuSeconds = CpuSecondsOf(stat) - cpuBefore;
    run.SystemSeconds = CpuSecondsOf(stat, true) - systemBefore;
    run.PeakRss = PeakRssMegabytes("/proc/" + std::to_string(program.Id()) + "/status");
    run.Megabytes = static_cast<double>(blocks * Block.size()) / kMegabyte;
    program.Stop();

    const std::string tail = BoardMessage('r');
    const std::string blockShown = korvani::base::AsciiToDisplay(Block);
    const std::string tailShown = korvani::base::AsciiToDisplay(tail);
    if (Config.Logs) {
      run.Missing = Differences(
          ascii, [&](std::size_t i) { return i < blocks ? blockShown : tailShown; }, blocks + 1);
      run.Missing += HexDifferences(hex, Block, blocks, tail);
    }
    run.Measured = true;
    return run;
  }

 private:
  // The program has the port open and answers the clock request.
  bool Ready(RunningProgram& program) {
    const auto start = Clock::now();
    while (!HasOpen(program.Id(), Pty.SlavePath)) {
      if (!program.Running() || SecondsSince(start) > 10) {
        return false;
      }
      Pause(0.1);
    }
    Drain(Pty);
    return Sync();
  }

  // A clock request; true once its answer is back, so everything sent before it was handled.
  bool Sync() {
    Pty.WriteAll(BoardMessage('r'));
    return Pty.AwaitClock(kAnswerMs);
  }

  const Options& Config;
  const QTemporaryDir& Folder;
  const PtyPair& Pty;
  std::string Block;
};

}  // namespace

int main(int argc, char* argv[]) {
  Options options;
  options.Program = DefaultProgram();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--quick") {
      options.Megabytes = 2;
    } else if (arg == "--megabytes" && i + 1 < argc) {
      options.Megabytes = std::stod(argv[++i]);
    } else if (arg == "--logs-off") {
      options.Logs = false;
    } else if (arg == "--program" && i + 1 < argc) {
      options.Program = argv[++i];
    } else {
      std::fprintf(stderr, "Usage: flood_outside [--quick] [--megabytes N] [--logs-off] [--program PATH]\n");
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
  if (pty.Master < 0) {
    std::perror("flood_outside: openpty");
    return 1;
  }
  const double catMBps = CatMegabytesPerSecond(pty, folder.path().toStdString(), options.Megabytes);

  OutsideFlood flood(options, folder, pty);
  const std::vector<ViewRun> runs = {flood.Run("panel tab in view", false),
                                     flood.Run("Terminal tab in view", true)};

  std::printf("Outside flood of %s on %s; platform %s; cat on the same pty: %.1f MB/s\n\n",
              options.Program.c_str(), pty.SlavePath.c_str(), PlatformName().c_str(), catMBps);
  std::printf("| View | MB | MB/s | of cat | CPU s/MB | of which kernel | peak RSS MB | bytes lost |\n");
  std::printf("|---|---|---|---|---|---|---|---|\n");
  bool failed = false;
  for (const ViewRun& run : runs) {
    if (!run.Measured) {
      std::printf("| %s | %s |\n", run.Name.c_str(), run.Note.c_str());
      failed = failed || run.Note.rfind("failed", 0) == 0;
      continue;
    }
    const double rate = run.Megabytes / run.Seconds;
    std::printf("| %s | %.0f | %.1f | %.2f | %.4f | %.4f | %.0f | %lld |\n", run.Name.c_str(), run.Megabytes,
                rate, rate / catMBps, run.CpuSeconds / run.Megabytes, run.SystemSeconds / run.Megabytes,
                run.PeakRss, static_cast<long long>(run.Missing));
    failed = failed || run.Missing != 0;
  }
  if (failed) {
    std::printf("FAILED\n%s", ReadWhole(folder.filePath("korvani.out").toStdString()).c_str());
  }
  return failed ? 1 : 0;
}
