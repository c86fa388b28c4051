// SPDX-License-Identifier: GPL-3.0-or-later
// Running the built program as a user runs it, in a process of its own, and looking at it
// from outside: what the idle, outside flood and plot tools share.
#pragma once

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
#include <string>
#include <thread>
#include <vector>

#include "pty_harness.h"

namespace korvani::bench {

namespace fs = std::filesystem;

constexpr double kStopSeconds = 5;
// A point on the first tab's label (the Terminal tab), from the window's top left corner.
constexpr int kTerminalTabX = 20;
constexpr int kTerminalTabY = 12;

inline void Pause(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

inline bool OnPath(const std::string& name) {
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
inline std::string FirstLineOf(const std::string& command) {
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
inline bool XvfbServes(const std::string& display) {
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
inline std::string PlatformName() {
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

inline bool OnXcb() {
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

// Clicks the Terminal tab of the program's window, as a user would.
inline bool SelectTerminalTab(pid_t pid) {
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

inline std::string DefaultProgram() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  return (self.parent_path() / ".." / "src" / "ui" / "korvani").lexically_normal().string();
}

inline std::string ReadWhole(const std::string& path) {
  std::ifstream file(path);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Whatever the program sent to the board is read and dropped.
inline void Drain(const BoardEnd& pty) {
  pollfd ready{pty.Master, POLLIN, 0};
  char buffer[4096];
  while (poll(&ready, 1, 0) > 0 && (ready.revents & POLLIN) != 0) {
    if (read(pty.Master, buffer, sizeof buffer) <= 0) {
      return;
    }
  }
}

// Waits until the program has its end of the line, then drops what it sent; false when it
// ended or had not connected within 10 s.
inline bool AwaitConnection(RunningProgram& program, BoardEnd& line) {
  const auto start = Clock::now();
  while (!line.ProgramConnected(program.Id())) {
    if (!program.Running() || SecondsSince(start) > 10) {
      return false;
    }
    Pause(0.1);
  }
  Drain(line);
  return true;
}

// The steady clock in nanoseconds, as the paint trace writes it.
inline std::int64_t NowNanoseconds() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

// The repaints a paint trace (KORVANI_PAINT_TRACE) holds between two moments: how many, and
// the longest time without one, counted from the start and to the end.
struct Repaints {
  int Count = 0;
  double LongestGapMs = 0;
};

inline Repaints ReadRepaints(const std::string& trace, std::int64_t start, std::int64_t end) {
  std::ifstream file(trace);
  Repaints repaints;
  std::int64_t last = start;
  std::int64_t longest = 0;
  std::int64_t at = 0;
  while (file >> at) {
    if (at > start && at < end) {
      longest = std::max(longest, at - last);
      last = at;
      ++repaints.Count;
    }
  }
  repaints.LongestGapMs = static_cast<double>(std::max(longest, end - last)) / 1e6;
  return repaints;
}

// The program's surroundings: a private runtime folder, settings in the temporary folder, no
// version check; on an X display the program picks its platform as it does for a user,
// offscreen otherwise.
inline void PrepareOutsideEnvironment(const QTemporaryDir& folder) {
  mkdir(folder.filePath("runtime").toLocal8Bit().constData(), 0700);
  qputenv("XDG_RUNTIME_DIR", folder.filePath("runtime").toLocal8Bit());
  const bool keepDefaultPlatform =
      !qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && qEnvironmentVariableIsSet("DISPLAY");
  PrepareEnvironment(folder);
  if (keepDefaultPlatform) {
    qunsetenv("QT_QPA_PLATFORM");
  }
}

}  // namespace korvani::bench
