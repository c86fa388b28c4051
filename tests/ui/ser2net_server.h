// SPDX-License-Identifier: GPL-3.0-or-later
// A real remote serial port for tests: Debian's ser2net with a telnet(rfc2217) accepter in
// front of a pty's slave, and a tap between the program and it that keeps what went each way
// (a pty holds no break, so the tap is where a break is seen going out and being answered).
#pragma once

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "ui/pty_pair.h"

namespace korvani::testing {

// A port on loopback nobody listens on now.
inline quint16 FreeLoopbackPort() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  return probe.serverPort();
}

class Ser2netServer {
 public:
  // Empty when ser2net is not installed.
  static QString Program() {
    return QStandardPaths::findExecutable(QStringLiteral("ser2net"), {"/usr/sbin", "/usr/bin"});
  }

  // Serves `device` (at 9600 8N1 until a client sets it) on a loopback port, with `pidFile`
  // of its own; true once it listens.
  bool Start(const QString& device, const QString& pidFile) {
    Port = FreeLoopbackPort();
    const QString accepter = QStringLiteral("  accepter: telnet(rfc2217),tcp,localhost,%1").arg(Port);
    const QString connector = QStringLiteral("  connector: serialdev,%1,9600n81,local").arg(device);
    Server.setProcessChannelMode(QProcess::MergedChannels);
    Server.start(Program(),
                 {"-n", "-u", "-P", pidFile, "-Y", "connection: &board", "-Y", accepter, "-Y", connector});
    for (int waited = 0; waited < 5000; waited += 50) {
      QTcpSocket probe;
      probe.connectToHost(QHostAddress::LocalHost, Port);
      if (probe.waitForConnected(50)) {
        probe.abort();
        return true;
      }
      QTest::qWait(50);
    }
    return false;
  }
  ~Ser2netServer() {
    Server.kill();
    Server.waitForFinished(2000);
  }
  [[nodiscard]] quint16 ListeningPort() const { return Port; }
  [[nodiscard]] QString Said() { return QString::fromLocal8Bit(Server.readAll()); }

 private:
  QProcess Server;
  quint16 Port = 0;
};

// Passes one connection on to a server on loopback, keeping every byte of both ways.
class WireTap {
 public:
  explicit WireTap(quint16 serverPort) {
    if (Listening.Port != 0) {
      Relay = std::thread([this, serverPort] { Pass(serverPort); });
    }
  }
  ~WireTap() {
    Stop = true;
    if (Relay.joinable()) {
      Relay.join();
    }
  }
  [[nodiscard]] quint16 ListeningPort() const { return Listening.Port; }
  // What the client sent, and what the server sent.
  std::string Sent() {
    const std::lock_guard<std::mutex> lock(Mutex);
    return ToServer;
  }
  std::string Answered() {
    const std::lock_guard<std::mutex> lock(Mutex);
    return ToClient;
  }

 private:
  // Waits for the client, connects to the server, and copies both ways until one ends.
  void Pass(quint16 serverPort) {
    pollfd waiting{Listening.Listener, POLLIN, 0};
    while (!Stop && poll(&waiting, 1, 50) == 0) {
    }
    if (Stop) {
      return;
    }
    const int client = accept4(Listening.Listener, nullptr, nullptr, 0);  // blocking, unlike the listener
    const int server = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(serverPort);
    if (client >= 0 && connect(server, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
      pollfd ends[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
      for (bool open = true; open && !Stop;) {
        if (poll(ends, 2, 50) <= 0) {
          continue;
        }
        for (int from = 0; from < 2 && open; ++from) {
          if ((ends[from].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
            continue;
          }
          char buffer[4096];
          const ssize_t n = read(ends[from].fd, buffer, sizeof buffer);
          open = n > 0 && write(ends[1 - from].fd, buffer, static_cast<std::size_t>(n)) == n;
          if (n > 0) {
            const std::lock_guard<std::mutex> lock(Mutex);
            (from == 0 ? ToServer : ToClient).append(buffer, static_cast<std::size_t>(n));
          }
        }
      }
    }
    close(server);
    if (client >= 0) {
      close(client);
    }
  }

  TcpBoard Listening;  // on a free loopback port
  std::atomic<bool> Stop = false;
  std::thread Relay;
  std::mutex Mutex;
  std::string ToServer;
  std::string ToClient;
};

}  // namespace korvani::testing
