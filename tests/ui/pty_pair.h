// SPDX-License-Identifier: GPL-3.0-or-later
// The board's end of the line for tests that play the board: a pseudo-terminal pair (the
// program opens the slave path, made raw as a serial line is; the test has the master), or
// a TCP server on loopback standing for a serial-to-network bridge.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>
#include <QString>
#include <QTest>
#include <cerrno>

#include <string>

namespace korvani::testing {

// Writes every byte to the descriptor (the board's end of the line); while it is full the
// program's events run, so the program can read.
inline bool WriteAllTo(int fd, const std::string& bytes) {
  std::size_t done = 0;
  for (int waited = 0; done < bytes.size() && waited < 5000;) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      QTest::qWait(1);
      ++waited;
    } else {
      return false;
    }
  }
  return done == bytes.size();
}

// What arrives within the time (the program's events run meanwhile), up to a pause after
// the first bytes.
inline std::string ReadSomeFrom(int fd, int timeoutMs) {
  std::string got;
  const int flags = fcntl(fd, F_GETFL);
  fcntl(fd, F_SETFL, flags | O_NONBLOCK);
  for (int waited = 0; waited < timeoutMs; waited += 10) {
    char buffer[512];
    const ssize_t n = read(fd, buffer, sizeof buffer);
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

  [[nodiscard]] bool WriteAll(const std::string& bytes) const { return WriteAllTo(Master, bytes); }
  [[nodiscard]] std::string ReadSome(int timeoutMs) const { return ReadSomeFrom(Master, timeoutMs); }

  int Master = -1;
  int Slave = -1;
  QString SlavePath;
};

// A board behind a network bridge: listens on 127.0.0.1 and takes one connection at a time.
class TcpBoard {
 public:
  TcpBoard() { Listen(0); }
  ~TcpBoard() { Close(); }
  TcpBoard(const TcpBoard&) = delete;
  TcpBoard& operator=(const TcpBoard&) = delete;

  // Listens on the port (0: any free one), with room for `backlog` connections not yet taken.
  bool Listen(quint16 port, int backlog = 4) {
    Listener = socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    setsockopt(Listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(Listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(Listener, backlog) != 0 ||
        getsockname(Listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      Close();
      return false;
    }
    fcntl(Listener, F_SETFL, O_NONBLOCK);
    Port = ntohs(address.sin_port);
    return true;
  }
  // The next connection, or -1 when none came within the time.
  int Accept(int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 5) {
      const int connection = accept4(Listener, nullptr, nullptr, SOCK_NONBLOCK);
      if (connection >= 0) {
        if (Client >= 0) {
          close(Client);
        }
        Client = connection;
        return Client;
      }
      QTest::qWait(5);
    }
    return -1;
  }
  // The server goes away: the connection and the listener close.
  void Close() {
    for (int* fd : {&Client, &Listener}) {
      if (*fd >= 0) {
        close(*fd);
        *fd = -1;
      }
    }
  }
  [[nodiscard]] QString Address() const { return QStringLiteral("tcp://127.0.0.1:%1").arg(Port); }

  int Listener = -1;
  int Client = -1;
  quint16 Port = 0;
};

}  // namespace korvani::testing
