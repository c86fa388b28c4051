// idle: what the program costs when nothing happens. Starts korvani as a user runs it and
// counts its wake-ups and CPU time in each idle state, after it has settled.
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

#include "pty_harness.h"

namespace {

namespace fs = std::filesystem;
using korvani::bench::Clock;
using korvani::bench::PtyPair;
using korvani::bench::SecondsSince;

constexpr double kSettleSeconds = 3;
constexpr double kStopSeconds = 5;
constexpr double kMaxMainWakeUpsPerSecond = 20;
constexpr double kMaxCpuPercent = 0.5;
// A point on the first tab's label (the Terminal tab), from the window's top left corner.
constexpr int kTerminalTabX = 20;
constexpr int kTerminalTabY = 12;
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
};

struct Cost {
  double MainPerSecond = 0;
  double AllPerSecond = 0;
  double CpuPercent = 0;
};

struct StateResult {
  std::string Name;
  std::optional<Cost> Measured;
  std::string Note;  // why it was not measured
};

void Pause(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

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
  return cost;
}

// Whatever the program sent to the board is read and dropped.
void Drain(const PtyPair& pty) {
  pollfd ready{pty.Master, POLLIN, 0};
  char buffer[4096];
  while (poll(&ready, 1, 0) > 0 && (ready.revents & POLLIN) != 0) {
    if (read(pty.Master, buffer, sizeof buffer) <= 0) {
      return;
    }
  }
}

bool OnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string folders = path == nullptr ? "/usr/bin:/bin" : path;
  std::size_t from = 0;
  while (from <= folders.size()) {
    const std::size_t end = std::min(folders.find(':', from), folders.size());
    if (access((folders.substr(from, end - from) + "/" + name).c_str(), X_OK) == 0) {
      return true;
    }
    from = end + 1;
  }
  return false;
}

// The first line a command prints, without its line end.
std::string FirstLineOf(const std::string& command) {
  FILE* output = popen(command.c_str(), "r");
  if (output == nullptr) {
    return {};
  }
  char line[256] = {};
  const bool got = std::fgets(line, sizeof line, output) != nullptr;
  pclose(output);
  std::string text = got ? line : "";
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
    text.pop_back();
  }
  return text;
}

// Whether an Xvfb process serves `display`.
bool XvfbServes(const std::string& display) {
  std::error_code error;
  for (const auto& process : fs::directory_iterator("/proc", error)) {
    std::string name;
    std::getline(std::ifstream(process.path() / "comm"), name);
    if (name != "Xvfb") {
      continue;
    }
    std::ifstream file(process.path() / "cmdline", std::ios::binary);
    std::string argument;
    while (std::getline(file, argument, '\0')) {
      if (argument == display) {
        return true;
      }
    }
  }
  return false;
}

// The platform the program will run on, as the header names it.
std::string PlatformName() {
  const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
  const QByteArray display = qgetenv("DISPLAY");
  if (!chosen.isEmpty() && chosen != "xcb") {
    return chosen.toStdString();
  }
  if (display.isEmpty()) {
    return chosen.isEmpty() ? "Qt's default" : "xcb, no DISPLAY";
  }
  const std::string where = "xcb on " + display.toStdString();
  return XvfbServes(display.toStdString()) ? where + " (Xvfb)" : where;
}

bool OnXcb() {
  const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
  return (chosen.isEmpty() || chosen == "xcb") && !qgetenv("DISPLAY").isEmpty();
}

// The program in a process of its own, working in the temporary folder, its output in a
// file there. Ended as a session end ends it: SIGTERM, then SIGKILL if it lingers.
class RunningProgram {
 public:
  RunningProgram(const std::string& program, const std::vector<std::string>& arguments,
                 const QTemporaryDir& folder) {
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words) {
      argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const std::string work = folder.path().toStdString();
    const std::string output = folder.filePath("korvani.out").toStdString();
    Pid = fork();
    if (Pid == 0) {
      const int input = open("/dev/null", O_RDONLY);
      const int log = open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
      if (input < 0 || log < 0 || chdir(work.c_str()) != 0) {
        _exit(127);
      }
      dup2(input, STDIN_FILENO);
      dup2(log, STDOUT_FILENO);
      dup2(log, STDERR_FILENO);
      close_range(3, ~0U, 0);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
  }
  ~RunningProgram() { Stop(); }
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  [[nodiscard]] pid_t Id() const { return Pid; }

  [[nodiscard]] bool Running() {
    if (Pid <= 0) {
      return false;
    }
    if (waitpid(Pid, &Status, WNOHANG) == Pid) {
      Pid = -1;
      return false;
    }
    return true;
  }

  // True when it ended by itself within the time allowed.
  bool Stop() {
    if (!Running()) {
      return true;
    }
    kill(Pid, SIGTERM);
    const auto start = Clock::now();
    while (SecondsSince(start) < kStopSeconds) {
      if (waitpid(Pid, &Status, WNOHANG) == Pid) {
        Pid = -1;
        return true;
      }
      Pause(0.05);
    }
    kill(Pid, SIGKILL);
    waitpid(Pid, &Status, 0);
    Pid = -1;
    return false;
  }

 private:
  pid_t Pid = -1;
  int Status = 0;
};

// Whether the process has `device` open.
bool HasOpen(pid_t pid, const std::string& device) {
  std::error_code error;
  for (const auto& descriptor : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
    std::error_code unreadable;
    if (fs::read_symlink(descriptor.path(), unreadable).string() == device) {
      return true;
    }
  }
  return false;
}

// Clicks the Terminal tab of the program's window, as a user would.
bool SelectTerminalTab(pid_t pid) {
  std::string window;
  const auto start = Clock::now();
  while (window.empty() && SecondsSince(start) < kStopSeconds) {
    window = FirstLineOf("xdotool search --onlyvisible --pid " + std::to_string(pid) + " 2>/dev/null");
    if (window.empty()) {
      Pause(0.2);
    }
  }
  if (window.empty()) {
    return false;
  }
  const std::string click = "xdotool mousemove --window " + window + " " + std::to_string(kTerminalTabX) +
                            " " + std::to_string(kTerminalTabY) + " click 1 >/dev/null 2>&1";
  return std::system(click.c_str()) == 0;
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

  bool Measure(RunningProgram& program, const std::string& name, const PtyPair* pty = nullptr) {
    if (pty != nullptr) {
      Drain(*pty);
      if (!HasOpen(program.Id(), pty->SlavePath)) {
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

std::string DefaultProgram() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  return (self.parent_path() / ".." / "src" / "ui" / "korvani").lexically_normal().string();
}

std::string ReadWhole(const std::string& path) {
  std::ifstream file(path);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

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
  mkdir(folder.filePath("runtime").toLocal8Bit().constData(), 0700);
  qputenv("XDG_RUNTIME_DIR", folder.filePath("runtime").toLocal8Bit());
  // On an X display the program picks its platform as it does for a user.
  const bool keepDefaultPlatform =
      !qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && qEnvironmentVariableIsSet("DISPLAY");
  korvani::bench::PrepareEnvironment(folder);
  if (keepDefaultPlatform) {
    qunsetenv("QT_QPA_PLATFORM");
  }

  std::printf("Idle cost of %s\nPlatform: %s; %.0f s a state, after %.0f s to settle\n",
              options.Program.c_str(), PlatformName().c_str(), options.Seconds, kSettleSeconds);
  std::fflush(stdout);

  Bench bench(options, folder);
  bench.PortClosed();
  bench.PortOpen();
  bench.TerminalTab();

  bool withinLimits = true;
  for (const StateResult& state : bench.States()) {
    if (!state.Measured) {
      std::printf("%-25s %s\n", state.Name.c_str(), state.Note.c_str());
      continue;
    }
    const Cost& cost = *state.Measured;
    std::printf("%-25s main thread %6.1f wake-ups/s   all threads %6.1f/s   CPU %5.2f %%\n",
                state.Name.c_str(), cost.MainPerSecond, cost.AllPerSecond, cost.CpuPercent);
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
