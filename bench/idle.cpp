// SPDX-License-Identifier: GPL-3.0-or-later
// idle: what the program costs when nothing happens. Starts korvani as a user runs it and
// counts its wake-ups, CPU time and resident memory in each idle state, after it has settled.
//
// Usage: idle [--seconds N] [--program PATH] [--check]
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QTemporaryDir>
#include <QtGlobal>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "program_process.h"

namespace {

namespace fs = std::filesystem;
using namespace korvani::bench;  // the program's process and what is read off it

constexpr double kSettleSeconds = 3;
constexpr double kMaxMainWakeUpsPerSecond = 20;
constexpr double kMaxCpuPercent = 0.5;
// The board's screen reset, then "Hello" printed.
constexpr std::string_view kBoardScreen = "\x01S\x03\x01@Hello\x03";

struct Options {
  double Seconds = 10;
  std::string Program;
  bool Check = false;
};

struct Reading {
  Clock::time_point At;
  long long MainSwitches = 0;
  std::map<std::string, long long> ThreadSwitches;
  double CpuSeconds = 0;
  double RssMegabytes = 0;
};

struct Cost {
  double MainPerSecond = 0;
  double AllPerSecond = 0;
  double CpuPercent = 0;
  double RssMegabytes = 0;  // resident at the end
};

struct StateResult {
  std::string Name;
  std::optional<Cost> Measured;
  std::string Note;  // why it was not measured
};

// Voluntary plus involuntary context switches of one thread.
long long SwitchesOf(const fs::path& statusPath) {
  std::ifstream file(statusPath);
  std::string line;
  long long switches = 0;
  while (std::getline(file, line)) {
    if (line.rfind("voluntary_ctxt_switches:", 0) == 0 || line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) {
      switches += std::stoll(line.substr(line.find(':') + 1));
    }
  }
  return switches;
}

Reading Read(pid_t pid) {
  Reading reading;
  const fs::path process = "/proc/" + std::to_string(pid);
  reading.At = Clock::now();
  reading.MainSwitches = SwitchesOf(process / "task" / std::to_string(pid) / "status");
  std::error_code error;
  for (const auto& task : fs::directory_iterator(process / "task", error)) {
    reading.ThreadSwitches[task.path().filename().string()] = SwitchesOf(task.path() / "status");
  }
  reading.CpuSeconds = korvani::bench::CpuSecondsOf((process / "stat").string());
  reading.RssMegabytes = korvani::bench::PeakRssMegabytes((process / "status").string(), "VmRSS:");
  return reading;
}

// The wake-ups and CPU between two readings. A thread that began in between counts from
// zero; one that ended in between is not counted.
Cost CostBetween(const Reading& first, const Reading& last) {
  const double seconds = std::chrono::duration<double>(last.At - first.At).count();
  long long allSwitches = 0;
  for (const auto& [thread, switches] : last.ThreadSwitches) {
    const auto before = first.ThreadSwitches.find(thread);
    allSwitches += switches - (before == first.ThreadSwitches.end() ? 0 : before->second);
  }
  Cost cost;
  cost.MainPerSecond = static_cast<double>(last.MainSwitches - first.MainSwitches) / seconds;
  cost.AllPerSecond = static_cast<double>(allSwitches) / seconds;
  cost.CpuPercent = (last.CpuSeconds - first.CpuSeconds) / seconds * 100;
  cost.RssMegabytes = last.RssMegabytes;
  return cost;
}

class Bench {
 public:
  Bench(const Options& options, const QTemporaryDir& folder) : Config(options), Folder(folder) {}

  // Started with no port: nothing is opened and the intro is typed.
  void PortClosed() {
    RunningProgram program = Start({});
    if (Settle(program, "intro, port closed")) {
      Measure(program, "intro, port closed");
    }
    Finish(program);
  }

  // Started on a quiet pty, then given a screen of the board's.
  void PortOpen() {
    PtyPair pty;
    RunningProgram program = Start({"--port", pty.SlavePath});
    if (!Settle(program, "intro, port open") || !Measure(program, "intro, port open", &pty)) {
      Finish(program);
      return;
    }
    pty.WriteAll(kBoardScreen);
    if (Settle(program, "board screen, port open")) {
      Measure(program, "board screen, port open", &pty);
    }
    Finish(program);
  }

  // Started on a quiet pty with the terminal functions, the Terminal tab clicked.
  void TerminalTab() {
    const std::string name = "Terminal tab, port open";
    if (!OnXcb() || !OnPath("xdotool")) {
      Results.push_back({name, std::nullopt, "skipped: the tab is clicked with xdotool on an X display"});
      return;
    }
    PtyPair pty;
    RunningProgram program = Start({"--port", pty.SlavePath, "/T"});
    if (Settle(program, name)) {
      if (!SelectTerminalTab(program.Id())) {
        Results.push_back({name, std::nullopt, "failed: the Terminal tab could not be clicked"});
      } else if (Settle(program, name)) {
        Measure(program, name, &pty);
      }
    }
    Finish(program);
  }

  // Two ports on the command line, a window each, each given a screen of its board's: what
  // an added session costs beside the one-session state above.
  void TwoSessions() {
    const std::string name = "two sessions, two ports open";
    PtyPair first;
    PtyPair second;
    RunningProgram program = Start({"--port", first.SlavePath, "--port", second.SlavePath});
    if (Settle(program, name)) {
      first.WriteAll(kBoardScreen);
      second.WriteAll(kBoardScreen);
      if (!Settle(program, name)) {
        Finish(program);
        return;
      }
      if (!HasOpen(program.Id(), second.SlavePath)) {
        Failed += name + ": the program does not have " + second.SlavePath + " open\n";
      } else {
        Drain(second);
        Measure(program, name, &first);
      }
    }
    Finish(program);
  }

  // Started with a view in sight (`option`) on a quiet pty, after the board printed `bytes`:
  // the console after a prompt in colour (its thread waits on the queue and its cursor is
  // steady), the plot after a few values (it draws only when points arrive). Either should
  // cost what the other views cost.
  void InViewAfter(const std::string& name, const char* option, std::string_view bytes) {
    PtyPair pty;
    RunningProgram program = Start({"--port", pty.SlavePath, option});
    if (Settle(program, name)) {
      pty.WriteAll(bytes);
      if (Settle(program, name)) {
        Measure(program, name, &pty);
      }
    }
    Finish(program);
  }

  // Connected to a quiet board behind a TCP server, given a screen of the board's.
  void NetworkPortOpen() {
    const std::string name = "board screen, network port";
    TcpLine line;
    RunningProgram program = Start({"--port", line.SlavePath});
    const auto start = Clock::now();
    while (!line.ProgramConnected(program.Id()) && SecondsSince(start) < kSettleSeconds * 3) {
      Pause(0.1);
    }
    if (line.Master < 0) {
      Failed += name + ": the program did not connect to " + line.SlavePath + "\n";
    } else {
      line.WriteAll(kBoardScreen);
      if (Settle(program, name)) {
        Measure(program, name, &line);
      }
    }
    Finish(program);
  }

  [[nodiscard]] const std::vector<StateResult>& States() const { return Results; }
  [[nodiscard]] bool AllMeasured() const { return Failed.empty(); }
  [[nodiscard]] const std::string& Failure() const { return Failed; }

 private:
  RunningProgram Start(const std::vector<std::string>& arguments) {
    korvani::app::SettingsValues values;
    values.LogFolder = Folder.filePath("logs").toStdString();
    fs::create_directories(values.LogFolder);
    korvani::bench::WriteSettings(Folder, values);
    return {Config.Program, arguments, Folder};
  }

  bool Settle(RunningProgram& program, const std::string& name) {
    Pause(kSettleSeconds);
    if (!program.Running()) {
      Failed += name + ": the program ended early (see its output below)\n";
      return false;
    }
    return true;
  }

  bool Measure(RunningProgram& program, const std::string& name, const BoardEnd* line = nullptr) {
    if (line != nullptr) {
      Drain(*line);
      const auto* pty = dynamic_cast<const PtyPair*>(line);
      if (pty != nullptr && !HasOpen(program.Id(), pty->SlavePath)) {
        Failed += name + ": the program does not have " + pty->SlavePath + " open\n";
      }
    }
    const Reading first = Read(program.Id());
    Pause(Config.Seconds);
    const Reading last = Read(program.Id());
    if (!program.Running()) {
      Failed += name + ": the program ended while measured\n";
      return false;
    }
    Results.push_back({name, CostBetween(first, last), ""});
    return true;
  }

  void Finish(RunningProgram& program) {
    if (!program.Stop()) {
      Failed += "the program did not end within 5 s of SIGTERM\n";
    }
  }

  const Options& Config;
  const QTemporaryDir& Folder;
  std::vector<StateResult> Results;
  std::string Failed;
};

}  // namespace

int main(int argc, char* argv[]) {
  Options options;
  options.Program = DefaultProgram();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--seconds" && i + 1 < argc) {
      options.Seconds = std::stod(argv[++i]);
    } else if (arg == "--program" && i + 1 < argc) {
      options.Program = argv[++i];
    } else if (arg == "--check") {
      options.Check = true;
    } else {
      std::fprintf(stderr, "Usage: idle [--seconds N] [--program PATH] [--check]\n");
      return 2;
    }
  }
  if (options.Seconds <= 0 || access(options.Program.c_str(), X_OK) != 0) {
    std::fprintf(stderr, "idle: %s is not a program to run (--program PATH)\n", options.Program.c_str());
    return 2;
  }

  QTemporaryDir folder;
  PrepareOutsideEnvironment(folder);

  std::printf("Idle cost of %s\nPlatform: %s; %.0f s a state, after %.0f s to settle\n",
              options.Program.c_str(), PlatformName().c_str(), options.Seconds, kSettleSeconds);
  std::fflush(stdout);

  Bench bench(options, folder);
  bench.PortClosed();
  bench.PortOpen();
  bench.TwoSessions();
  bench.TerminalTab();
  bench.InViewAfter("console in view, port open", "--console", "\x1b[32mboard>\x1b[0m ");
  bench.InViewAfter("plot in view, port open", "--plot", "temp:21.4,press:1.02\r\ntemp:21.5,press:1.01\r\n");
  bench.NetworkPortOpen();

  bool withinLimits = true;
  for (const StateResult& state : bench.States()) {
    if (!state.Measured) {
      std::printf("%-28s %s\n", state.Name.c_str(), state.Note.c_str());
      continue;
    }
    const Cost& cost = *state.Measured;
    std::printf("%-28s main thread %6.1f wake-ups/s   all threads %6.1f/s   CPU %5.2f %%   RSS %4.0f MB\n",
                state.Name.c_str(), cost.MainPerSecond, cost.AllPerSecond, cost.CpuPercent,
                cost.RssMegabytes);
    if (options.Check && cost.MainPerSecond > kMaxMainWakeUpsPerSecond) {
      std::printf("  too busy: the main thread wakes more than %.0f times a second\n",
                  kMaxMainWakeUpsPerSecond);
      withinLimits = false;
    }
    if (options.Check && cost.CpuPercent > kMaxCpuPercent) {
      std::printf("  too busy: CPU above %.1f %% of one core\n", kMaxCpuPercent);
      withinLimits = false;
    }
  }
  if (!bench.AllMeasured()) {
    std::printf("FAILED:\n%s", bench.Failure().c_str());
    const std::string output = ReadWhole(folder.filePath("korvani.out").toStdString());
    if (!output.empty()) {
      std::printf("The program's output:\n%s", output.c_str());
    }
    return 1;
  }
  if (options.Check) {
    std::printf(withinLimits ? "Passed: every state within %.0f wake-ups/s and %.1f %% CPU\n"
                             : "FAILED: some state above %.0f wake-ups/s or %.1f %% CPU\n",
                kMaxMainWakeUpsPerSecond, kMaxCpuPercent);
  }
  return withinLimits ? 0 : 1;
}
