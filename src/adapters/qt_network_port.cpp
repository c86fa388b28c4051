// SPDX-License-Identifier: GPL-3.0-or-later
#include "adapters/qt_network_port.h"

#include <QNetworkProxy>
#include <algorithm>
#include <utility>

#ifdef Q_OS_WIN
#include <winsock2.h>
// winsock2.h first
#include <mstcpip.h>
#else
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

#include "ports/added_ports.h"

namespace korvani::ui {

namespace {

std::string ReasonFor(QAbstractSocket::SocketError error, const QString& errorText) {
  switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
      return "connection refused";
    case QAbstractSocket::HostNotFoundError:
      return "host not found";
    case QAbstractSocket::RemoteHostClosedError:
      return "connection lost";
    case QAbstractSocket::SocketTimeoutError:
      return "no answer (the host is unreachable or does not listen)";
    case QAbstractSocket::NetworkError:
      return "network unreachable";
    default:
      return errorText.toStdString();
  }
}

}  // namespace

QtNetworkPort::QtNetworkPort(QObject* parent) : QObject(parent) {
  Socket.setProxy(QNetworkProxy::NoProxy);  // only the address the user gave is contacted
  Socket.setReadBufferSize(kReadBufferBytes);
  ConnectTimer.setSingleShot(true);
  connect(&ConnectTimer, &QTimer::timeout, this, [this] { OnError(QAbstractSocket::SocketTimeoutError); });
  connect(&Socket, &QTcpSocket::connected, this, &QtNetworkPort::OnConnected);
  connect(&Socket, &QTcpSocket::errorOccurred, this, &QtNetworkPort::OnError);
  connect(&Socket, &QTcpSocket::disconnected, this,
          [this] { OnError(QAbstractSocket::RemoteHostClosedError); });
  connect(&Socket, &QTcpSocket::readyRead, this, [this] { Raise(ports::PortEvent::Received); });
}

QtNetworkPort::~QtNetworkPort() {
  Socket.disconnect(this);
  Socket.abort();
}

bool QtNetworkPort::SetOpen(bool open) {
  if (!open) {
    ConnectTimer.stop();
    State = Link::Closed;  // before the abort: the signals it raises are our own close
    FailPending = false;
    Socket.abort();
    return true;
  }
  if (State != Link::Closed) {
    return true;
  }
  const std::string path = Resolve ? Resolve(Number) : std::string();
  std::string why;
  const std::optional<ports::NetworkAddress> address = ports::ParseNetworkAddress(path, why);
  if ((path.rfind(ports::kNetworkScheme, 0) != 0 && path.rfind(ports::kRemoteSerialScheme, 0) != 0) ||
      !address) {
    Note = "COM" + std::to_string(Number) + " is not a network port on this machine";
    return false;
  }
  Address = address->Text();
  Note = Address + ": connecting";
  State = Link::Connecting;
  Socket.connectToHost(QString::fromStdString(address->Host), address->Port);
  ConnectTimer.start(ConnectTimeoutMs);
  return true;
}

void QtNetworkPort::OnConnected() {
  ConnectTimer.stop();
  Socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);  // no Nagle: a key press goes out now
  Socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
  ProbeSoon();
  State = Link::Connected;
  Note.clear();
  Raise(ports::PortEvent::LineChanged);  // the window says it is open now
}

void QtNetworkPort::ProbeSoon() {
  // Probes after 5 s of silence, every 2 s: a vanished bridge is lost within about 11 s on
  // Linux (3 probes), about 25 s on Windows (its 10), instead of the systems' two hours.
#ifdef Q_OS_WIN
  tcp_keepalive timings{1, 5000, 2000};
  DWORD returned = 0;
  WSAIoctl(static_cast<SOCKET>(Socket.socketDescriptor()), SIO_KEEPALIVE_VALS, &timings, sizeof timings,
           nullptr, 0, &returned, nullptr, nullptr);
#elif defined(TCP_KEEPIDLE) && defined(TCP_KEEPINTVL) && defined(TCP_KEEPCNT)
  const auto handle = static_cast<int>(Socket.socketDescriptor());
  for (const auto& [option, value] : {std::pair{TCP_KEEPIDLE, 5}, {TCP_KEEPINTVL, 2}, {TCP_KEEPCNT, 3}}) {
    ::setsockopt(handle, IPPROTO_TCP, option, &value, sizeof value);
  }
#endif
}

void QtNetworkPort::OnError(QAbstractSocket::SocketError error) {
  if (State == Link::Closed) {
    return;  // our own close
  }
  // A drop after the connection was made is a loss, whatever the socket calls it.
  Fail(State == Link::Connected ? std::string("connection lost") : ReasonFor(error, Socket.errorString()));
}

void QtNetworkPort::Fail(const std::string& reason) {
  if (FailPending) {
    return;
  }
  FailPending = true;
  ConnectTimer.stop();
  // Not from inside the socket's own signal, and only once however many signals follow.
  QTimer::singleShot(0, this, [this, reason] {
    if (!FailPending) {
      return;
    }
    FailPending = false;
    // What arrived before the loss is kept: read to the end, a read at a time.
    for (qint64 left = Socket.bytesAvailable(); left > 0;) {
      Raise(ports::PortEvent::Received);
      const qint64 now = Socket.bytesAvailable();
      left = now < left ? now : 0;  // a read turned away (a box open in a handler) ends it
    }
    Note = Address + ": " + reason;
    State = Link::Closed;
    Socket.abort();
    Raise(ports::PortEvent::LineChanged);
  });
}

void QtNetworkPort::Raise(ports::PortEvent event) {
  RunGuarded(Report, [this, event] { RaiseEvent(event); });
}

std::string QtNetworkPort::ReadInput() {
  const QByteArray data = Socket.read(ReadLength > 0 ? std::min(ReadLength, kMostPerRead) : kMostPerRead);
  if (Socket.bytesAvailable() > 0 && !MorePending) {
    MorePending = true;
    QTimer::singleShot(0, this, [this] {
      MorePending = false;
      if (State != Link::Closed && Socket.bytesAvailable() > 0) {
        Raise(ports::PortEvent::Received);
      }
    });
  }
  return {data.constData(), static_cast<std::size_t>(data.size())};
}

bool QtNetworkPort::Write(std::string_view data) {
  if (State == Link::Closed) {
    return false;
  }
  const auto size = static_cast<qint64>(data.size());
  return Socket.write(data.data(), size) == size;
}

}  // namespace korvani::ui
