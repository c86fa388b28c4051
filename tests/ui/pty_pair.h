// A pseudo-terminal pair for tests that play the board: the program opens the slave path
// (made raw, as a serial line is), the test reads and writes the master.
#pragma once

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <QString>
#include <QTest>

#include <string>

namespace korvani::testing {

class PtyPair {
 public:
  PtyPair() {
    char name[256] = {};
    if (openpty(&Master, &Slave, name, nullptr, nullptr) == 0) {
      termios attributes{};
      tcgetattr(Slave, &attributes);
      cfmakeraw(&attributes);
      tcsetattr(Slave, TCSANOW, &attributes);
      SlavePath = QString::fromLocal8Bit(name);
    }
  }
  ~PtyPair() {
    if (Master >= 0) {
      close(Master);
    }
    if (Slave >= 0) {
      close(Slave);
    }
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool WriteAll(const std::string& bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = write(Master, bytes.data() + done, bytes.size() - done);
      if (n <= 0) {
        return false;
      }
      done += static_cast<std::size_t>(n);
    }
    return true;
  }

  std::string ReadSome(int timeoutMs) const {
    std::string got;
    for (int waited = 0; waited < timeoutMs; waited += 10) {
      char buffer[512];
      const int flags = fcntl(Master, F_GETFL);
      fcntl(Master, F_SETFL, flags | O_NONBLOCK);
      const ssize_t n = read(Master, buffer, sizeof buffer);
      if (n > 0) {
        got.append(buffer, static_cast<std::size_t>(n));
        continue;
      }
      if (!got.empty()) {
        break;
      }
      QTest::qWait(10);
    }
    return got;
  }

  int Master = -1;
  int Slave = -1;
  QString SlavePath;
};

}  // namespace korvani::testing
