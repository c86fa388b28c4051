// SPDX-License-Identifier: GPL-3.0-or-later
// What the flood and soak tools share: the board's end of the line (the master of a raw
// pseudo-terminal pair, or a TCP connection standing for a serial-to-network bridge), the
// program's surroundings in a temporary folder, and readings from /proc.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings.h"
#include "hmi/link/protocol.h"

namespace korvani::bench {

using Clock = std::chrono::steady_clock;

// Offscreen unless told otherwise, a private runtime folder, settings in the temporary
// folder and no version check.
inline void PrepareEnvironment(const QTemporaryDir& folder) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
    mkdir(folder.filePath("runtime").toLocal8Bit().constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", folder.filePath("runtime").toLocal8Bit());
  }
  qputenv("XDG_CONFIG_HOME", folder.filePath("config").toLocal8Bit());
  qputenv("KORVANI_PRODUCT_URL", "http://127.0.0.1:9/version.txt");
}

// The settings file the program reads at start-up.
inline void WriteSettings(const QTemporaryDir& folder, const app::SettingsValues& values) {
  const std::string ini = folder.filePath("config/Korvani_by_Vexel/INIFile").toStdString();
  std::filesystem::create_directories(ini);
  std::ofstream(ini + "/Vexel32.INI", std::ios::binary) << app::FormatSettings(values);
}

inline double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// utime + stime of a /proc stat file, in seconds; with `systemOnly`, stime alone (the time
// spent in the kernel for the process: reads, writes, opening and closing files).
inline double CpuSecondsOf(const std::string& statPath, bool systemOnly = false) {
  std::ifstream file(statPath);
  std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const std::size_t close = stat.rfind(')');
  if (close == std::string::npos) {
    return 0;
  }
  // Fields after the name: state is field 3; utime and stime are fields 14 and 15.
  std::vector<std::string> fields;
  std::size_t at = close + 2;
  while (at < stat.size() && fields.size() < 13) {
    const std::size_t space = stat.find(' ', at);
    fields.push_back(stat.substr(at, space - at));
    at = space == std::string::npos ? stat.size() : space + 1;
  }
  if (fields.size() < 13) {
    return 0;
  }
  const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
  return ((systemOnly ? 0.0 : std::stod(fields[11])) + std::stod(fields[12])) / ticks;
}

// VmHWM of a /proc status file, this process's by default.
// A figure in kB of /proc/<pid>/status, in MB: the peak resident set (VmHWM) unless told.
inline double PeakRssMegabytes(const std::string& statusPath = "/proc/self/status",
                               const std::string& field = "VmHWM:") {
  std::ifstream file(statusPath);
  std::string line;
  while (std::getline(file, line)) {
    if (line.rfind(field, 0) == 0) {
      return std::stod(line.substr(field.size())) / 1024.0;
    }
  }
  return 0;
}

// The board's end of the line: `Master` is written and read as the board does, `SlavePath`
// is what the program is given with --port.
class BoardEnd {
 public:
  BoardEnd() = default;
  virtual ~BoardEnd() = default;
  BoardEnd(const BoardEnd&) = delete;
  BoardEnd& operator=(const BoardEnd&) = delete;

  // Whether the program has its end of the line now.
  [[nodiscard]] virtual bool ProgramConnected(pid_t pid) = 0;

  void WriteAll(std::string_view bytes) const {
    while (!bytes.empty()) {
      const ssize_t n = write(Master, bytes.data(), bytes.size());
      if (n <= 0) {
        std::perror("flood: write");
        std::exit(1);
      }
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
  }

  // Reads until the panel's clock answer (BEL ENQ, 13 digits, EOT) has arrived.
  [[nodiscard]] bool AwaitClock(int timeoutMs) const {
    std::string heard;
    const auto start = Clock::now();
    while (SecondsSince(start) * 1000 < timeoutMs) {
      pollfd ready{Master, POLLIN, 0};
      if (poll(&ready, 1, 50) <= 0) {
        continue;
      }
      char buffer[256];
      const ssize_t n = read(Master, buffer, sizeof buffer);
      if (n > 0) {
        heard.append(buffer, static_cast<std::size_t>(n));
        const std::size_t clock = heard.find("\x07\x05");
        if (clock != std::string::npos && heard.size() >= clock + 16) {
          return heard[clock + 15] == hmi::link::kEot;
        }
      }
    }
    return false;
  }

  int Master = -1;
  std::string SlavePath;
};

// Whether the process has the device open (from its /proc fd links).
inline bool HasOpen(pid_t pid, const std::string& device) {
  std::error_code error;
  for (const auto& descriptor :
       std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
    std::error_code unreadable;
    if (std::filesystem::read_symlink(descriptor.path(), unreadable).string() == device) {
      return true;
    }
  }
  return false;
}

class PtyPair final : public BoardEnd {
 public:
  PtyPair() {
    char name[256] = {};
    if (openpty(&Master, &Slave, name, nullptr, nullptr) == 0) {
      termios attributes{};
      tcgetattr(Slave, &attributes);
      cfmakeraw(&attributes);
      tcsetattr(Slave, TCSANOW, &attributes);
      SlavePath = name;
    }
  }
  ~PtyPair() override {
    close(Master);
    close(Slave);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  [[nodiscard]] bool ProgramConnected(pid_t pid) override { return HasOpen(pid, SlavePath); }

  int Slave = -1;
};

// A board behind a serial-to-network bridge: a TCP server on loopback; the program connects
// to it with --port tcp://127.0.0.1:PORT and `Master` is that connection.
class TcpLine final : public BoardEnd {
 public:
  TcpLine() {
    Listener = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(Listener, reinterpret_cast<sockaddr*>(&address), length) == 0 && listen(Listener, 1) == 0 &&
        getsockname(Listener, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      SlavePath = "tcp://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    }
  }
  ~TcpLine() override {
    close(Master);
    close(Listener);
  }
  TcpLine(const TcpLine&) = delete;
  TcpLine& operator=(const TcpLine&) = delete;

  // A new connection replaces the last one (each run starts the program again).
  [[nodiscard]] bool ProgramConnected(pid_t /*pid*/) override {
    const int connection = accept(Listener, nullptr, nullptr);
    if (connection < 0) {
      return false;
    }
    close(Master);
    Master = connection;
    return true;
  }

 private:
  int Listener = -1;
};

// The resident set now, in MB.
inline double RssMegabytes() {
  std::ifstream file("/proc/self/status");
  std::string line;
  while (std::getline(file, line)) {
    if (line.rfind("VmRSS:", 0) == 0) {
      return std::stod(line.substr(6)) / 1024.0;
    }
  }
  return 0;
}

}  // namespace korvani::bench
