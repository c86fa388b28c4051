// SPDX-License-Identifier: GPL-3.0-or-later
// A board behind a serial-to-network bridge, as a port: a TCP connection to the address the
// port list gives for the COM number ("tcp://HOST:PORT"). Bytes pass unchanged both ways and
// small writes go out at once. The connect runs in the background; while it runs the port
// counts as open and what is written waits for it. A connection that fails or drops is
// closed once, with the reason in plain words, and reported as a change of the line's state
// (not an error, whose reset would connect again at once, in a loop against a refusing
// server); the connection's once-a-second watch while "Open" is down connects again. A
// bridge that vanishes without closing (power lost) is noticed by keepalive probes within
// about ten seconds.
#pragma once

#include <QObject>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <limits>
#include <string>

#include "adapters/guarded.h"
#include "ports/serial_port.h"

namespace korvani::ui {

class QtNetworkPort final : public QObject, public ports::SerialPort {
  Q_OBJECT

 public:
  // A connect with no answer for this long is given up as unreachable.
  static constexpr int kConnectTimeoutMs = 5000;
  // The most one read takes: a network delivers megabytes at once, and the window repaints
  // between reads. What is left is announced again from the event loop.
  static constexpr std::int32_t kMostPerRead = 64 * 1024;
  // The most the socket holds unread: past it the system's buffer fills and TCP holds the
  // sender back, as flow control holds back a board on a serial line.
  static constexpr qint64 kReadBufferBytes = qint64{4} << 20;

  explicit QtNetworkPort(QObject* parent = nullptr);
  ~QtNetworkPort() override;

  using PathResolver = std::function<std::string(std::int16_t comNumber)>;
  void SetPathResolver(PathResolver resolver) { Resolve = std::move(resolver); }
  void SetFaultReport(FaultReport report) { Report = std::move(report); }
  // For tests: how long a connect may take before it counts as unanswered.
  void SetConnectTimeout(int milliseconds) { ConnectTimeoutMs = milliseconds; }

  void SetPortNumber(std::int16_t number) override { Number = number; }
  [[nodiscard]] std::int16_t PortNumber() const override { return Number; }
  [[nodiscard]] bool IsOpen() const override { return State != Link::Closed; }
  bool SetOpen(bool open) override;
  [[nodiscard]] std::int64_t BytesWaiting() const override { return Socket.bytesAvailable(); }
  // The socket's buffer is bounded and TCP holds the sender back when it is full: it never
  // overflows, so no reset for an overflow is ever due.
  [[nodiscard]] std::int64_t Capacity() const override { return std::numeric_limits<std::int64_t>::max(); }
  void SetReadLength(std::int32_t length) override { ReadLength = length; }
  std::string ReadInput() override;
  bool Write(std::string_view data) override;
  [[nodiscard]] std::int64_t BytesToWrite() const override { return Socket.bytesToWrite(); }
  [[nodiscard]] bool MoreArriving() const override { return Socket.bytesAvailable() > 0; }
  [[nodiscard]] std::string LastError() const override { return Note; }

  // Whether the connection is made (not only under way).
  [[nodiscard]] bool Connected() const { return State == Link::Connected; }

 private:
  enum class Link { Closed, Connecting, Connected };
  void OnConnected();
  // Short keepalive timings where the system lets them be set.
  void ProbeSoon();
  void OnError(QAbstractSocket::SocketError error);
  // Closes once, from the event loop, after what arrived has been read; one error event.
  void Fail(const std::string& reason);
  void Raise(ports::PortEvent event);

  QTcpSocket Socket;
  QTimer ConnectTimer;
  PathResolver Resolve;
  FaultReport Report;
  std::string Address;  // "tcp://HOST:PORT" of the connection under way or made
  std::string Note;     // connecting, or why it is closed
  std::string LineSettings = "9600,N,8,1";
  Link State = Link::Closed;
  int ConnectTimeoutMs = kConnectTimeoutMs;
  std::int32_t ReadLength = 0;
  std::int16_t Number = 0;
  bool FailPending = false;
  bool MorePending = false;  // a receive event for what a read left is on its way
};

}  // namespace korvani::ui
