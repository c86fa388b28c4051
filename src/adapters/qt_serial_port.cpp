// SPDX-License-Identifier: GPL-3.0-or-later
#include "adapters/qt_serial_port.h"

#include <QFileInfo>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <optional>
#include <string_view>

#include "platform/line_speed.h"

#ifndef Q_OS_WIN
#include <poll.h>
#include <sys/ioctl.h>
#endif

namespace korvani::ui {

namespace {

// The line's values as Qt names them; nothing for a value Qt has no name for.
struct ToQt {
  static std::optional<QSerialPort::Parity> Parity(char parity) {
    switch (parity) {
      case 'N':
        return QSerialPort::NoParity;
      case 'E':
        return QSerialPort::EvenParity;
      case 'O':
        return QSerialPort::OddParity;
      case 'M':
        return QSerialPort::MarkParity;
      case 'S':
        return QSerialPort::SpaceParity;
      default:
        return std::nullopt;
    }
  }
  static std::optional<QSerialPort::StopBits> StopBits(std::string_view stopBits) {
    if (stopBits == "1") {
      return QSerialPort::OneStop;
    }
    if (stopBits == "1.5") {
      return QSerialPort::OneAndHalfStop;
    }
    if (stopBits == "2") {
      return QSerialPort::TwoStop;
    }
    return std::nullopt;
  }
  static QSerialPort::FlowControl Flow(ports::FlowControl flow) {
    switch (flow) {
      case ports::FlowControl::RtsCts:
        return QSerialPort::HardwareControl;
      case ports::FlowControl::XonXoff:
        return QSerialPort::SoftwareControl;
      case ports::FlowControl::None:
        break;
    }
    return QSerialPort::NoFlowControl;
  }
};

}  // namespace

QtSerialPort::QtSerialPort(QObject* parent) : QObject(parent) {
  Device.setReadBufferSize(kCapacity);
  connect(&Device, &QSerialPort::readyRead, this, &QtSerialPort::OnReadyRead);
  connect(&Device, &QSerialPort::errorOccurred, this, &QtSerialPort::OnError);
  HangUpTimer.setInterval(1000);
  connect(&HangUpTimer, &QTimer::timeout, this, &QtSerialPort::CheckHangUp);
  BreakTimer.setSingleShot(true);
  connect(&BreakTimer, &QTimer::timeout, this,
          [this] { OwnRequest([this] { return Device.isOpen() && Device.setBreakEnabled(false); }); });
}

void QtSerialPort::CheckHangUp() {
  if (!Device.isOpen()) {
    HangUpTimer.stop();
    return;
  }
#ifndef Q_OS_WIN
  pollfd watched{static_cast<int>(Device.handle()), POLLIN, 0};
  if (::poll(&watched, 1, 0) > 0 && (watched.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
    DeviceLost();
  }
#endif
}

QtSerialPort::~QtSerialPort() {
  Device.disconnect(this);
  Device.close();
}

void QtSerialPort::SetPortNumber(std::int16_t number) {
  Number = number;
}

bool QtSerialPort::IsOpen() const {
  return Device.isOpen();
}

std::string QtSerialPort::ApplyLineSettings() {
  const std::string where = Device.portName().toStdString();
  std::string refused = where + " does not take the settings " + ports::SettingsText(Settings);
  const std::int32_t baud = Settings.Baud;
  std::string noSpeed = where + ": the adapter does not support " + std::to_string(baud) + " baud";
  if (baud <= 0) {
    return refused;
  }
  if (!Device.setBaudRate(baud)) {
    return noSpeed;
  }
#ifndef Q_OS_WIN
  // The driver would take it as one stop bit without a word.
  if (Settings.StopBits == "1.5") {
    return where + ": 1.5 stop bits are not available on this system (1 or 2 are)";
  }
#endif
  const std::optional<QSerialPort::Parity> parity = ToQt::Parity(Settings.Parity);
  const std::optional<QSerialPort::StopBits> stopBits = ToQt::StopBits(Settings.StopBits);
  if (Settings.DataBits < 5 || Settings.DataBits > 8 || !parity || !stopBits ||
      !Device.setDataBits(static_cast<QSerialPort::DataBits>(Settings.DataBits)) ||
      !Device.setParity(*parity) || !Device.setStopBits(*stopBits)) {
    return refused;
  }
  if (!Device.setFlowControl(ToQt::Flow(Settings.Flow))) {
    return where + ": the adapter does not take" + std::string(ports::FlowSuffix(Settings.Flow)) +
           " flow control";
  }
  // The speed the driver took, read back: a driver may round a speed it cannot make.
#ifdef Q_OS_WIN
  const auto handle = reinterpret_cast<std::intptr_t>(Device.handle());
#else
  const auto handle = static_cast<std::intptr_t>(Device.handle());
#endif
  const std::optional<std::int32_t> applied = platform::AppliedBaud(handle);
  if (applied && *applied != baud) {
    return noSpeed + " (it would run at " + std::to_string(*applied) + ")";
  }
  return {};
}

void QtSerialPort::ApplyLinesOnOpen() {
  Device.setDataTerminalReady(Settings.DtrOnOpen);
  if (Settings.Flow != ports::FlowControl::RtsCts) {
    Device.setRequestToSend(Settings.RtsOnOpen);
  }
}

bool QtSerialPort::SetOpen(bool open) {
  if (!open) {
    if (Device.isOpen()) {
      OwnCall = true;
      Device.close();
      Device.clearError();
      OwnCall = false;
    }
    return true;
  }
  if (Device.isOpen()) {
    return true;
  }
  const QString path = Resolve ? QString::fromStdString(Resolve(Number)) : QString();
  if (path.isEmpty()) {
    ErrorText = "COM" + std::to_string(Number) + " is not on this machine";
    return false;
  }
  OwnCall = true;
  LossPending = false;
  Device.setPortName(path);
  bool opened = Device.open(QIODevice::ReadWrite);
  std::string refusal = opened ? ApplyLineSettings() : std::string();
  if (opened && !refusal.empty()) {
    ErrorText = refusal;
    Device.close();
    opened = false;
  } else if (!opened) {
    ErrorText = OpenFailureText(path, Device.error(), Device.errorString());
  } else {
    ApplyLinesOnOpen();  // a line a pty does not have is no reason to fail
    Device.clearError();
    Device.pinoutSignals();  // a device without control lines (a pty) answers with an error
    LinesReadable = Device.error() == QSerialPort::NoError;
    ErrorText.clear();
    HangUpTimer.start();
  }
  Device.clearError();
  OwnCall = false;
  return opened;
}

bool QtSerialPort::SetDtr(bool on) {
  return OwnRequest([this, on] { return Device.isOpen() && Device.setDataTerminalReady(on); });
}

bool QtSerialPort::SetRts(bool on) {
  return OwnRequest([this, on] {
    return Device.isOpen() && Settings.Flow != ports::FlowControl::RtsCts && Device.setRequestToSend(on);
  });
}

ports::ControlLines QtSerialPort::Lines() const {
  ports::ControlLines lines;
  // Reading the lines asks the device, and a device without them sets an error.
  auto& self = const_cast<QtSerialPort&>(*this);
  self.OwnRequest([&self, &lines] {
    if (!self.Device.isOpen()) {
      return false;
    }
    const QSerialPort::PinoutSignals signalsNow = self.Device.pinoutSignals();
    lines.Dtr = signalsNow.testFlag(QSerialPort::DataTerminalReadySignal);
    lines.Rts = signalsNow.testFlag(QSerialPort::RequestToSendSignal);
    lines.Cts = signalsNow.testFlag(QSerialPort::ClearToSendSignal);
    lines.Dsr = signalsNow.testFlag(QSerialPort::DataSetReadySignal);
    lines.Dcd = signalsNow.testFlag(QSerialPort::DataCarrierDetectSignal);
    lines.Ri = signalsNow.testFlag(QSerialPort::RingIndicatorSignal);
    return true;
  });
  return lines;
}

bool QtSerialPort::SendBreak(int milliseconds) {
  const bool started = OwnRequest([this] { return Device.isOpen() && Device.setBreakEnabled(true); });
  if (started) {
    BreakTimer.start(milliseconds);
  }
  return started;
}

bool QtSerialPort::OwnRequest(const std::function<bool()>& request) {
  // Its failure is answered by the result; it is no communication event.
  OwnCall = true;
  const bool done = request();
  Device.clearError();
  OwnCall = false;
  return done;
}

void QtSerialPort::Raise(ports::PortEvent event) {
  RunGuarded(Report, [this, event] { RaiseEvent(event); });
}

std::int64_t QtSerialPort::BytesWaiting() const {
  return Device.bytesAvailable();
}

bool QtSerialPort::MoreArriving() const {
  if (!Device.isOpen()) {
    return false;
  }
  if (Device.bytesAvailable() > 0) {
    return true;
  }
#ifdef Q_OS_WIN
  return false;
#else
  int waiting = 0;  // in the driver, not yet taken into the port's own buffer
  return ::ioctl(static_cast<int>(Device.handle()), FIONREAD, &waiting) == 0 && waiting > 0;
#endif
}

std::string QtSerialPort::ReadInput() {
  // Straight from the port's buffer into the text handed on: one copy, not two.
  const qint64 waiting = Device.bytesAvailable();
  std::string data(static_cast<std::size_t>(ReadLength > 0 ? std::min<qint64>(ReadLength, waiting) : waiting),
                   '\0');
  const qint64 got = data.empty() ? 0 : Device.read(data.data(), static_cast<qint64>(data.size()));
  data.resize(static_cast<std::size_t>(std::max<qint64>(got, 0)));
  return data;
}

bool QtSerialPort::Write(std::string_view data) {
  if (!Device.isOpen()) {
    return false;
  }
  const auto size = static_cast<qint64>(data.size());
  return Device.write(data.data(), size) == size;
}

ports::PortEvent QtSerialPort::EventFor(QSerialPort::SerialPortError error) {
  switch (error) {
    case QSerialPort::TimeoutError:
      return ports::PortEvent::Timeout;
    case QSerialPort::ReadError:
      return ports::PortEvent::ReadFailed;
    case QSerialPort::ResourceError:  // the device went away
      return ports::PortEvent::DeviceGone;
    case QSerialPort::WriteError:
      return ports::PortEvent::WriteFailed;
    default:
      return ports::PortEvent::OtherError;
  }
}

std::string QtSerialPort::OpenFailureText(const QString& path, QSerialPort::SerialPortError error,
                                          const QString& errorText) {
  const std::string where = path.toStdString();
  const QFileInfo file(path);
  if (error == QSerialPort::DeviceNotFoundError || !file.exists()) {
    return where + ": no such device";
  }
#ifndef Q_OS_WIN
  if (!file.isReadable() || !file.isWritable()) {
    return where + ": permission denied (add your user to the dialout group and log in again)";
  }
#endif
  if (error == QSerialPort::PermissionError) {
    return where + ": in use by another program";
  }
  return where + ": " + errorText.toStdString();  // the failed port's own words
}

void QtSerialPort::OnReadyRead() {
  if (Device.bytesAvailable() == 0) {
    // Readable yet nothing to read: the other end hung up.
    DeviceLost();
    return;
  }
  Raise(ports::PortEvent::Received);
}

void QtSerialPort::DeviceLost() {
  if (LossPending || !Device.isOpen()) {
    return;
  }
  LossPending = true;
  // Closing from inside the port's own signal is not safe, and a hung-up device repeats its
  // error: close once, from the event loop.
  QTimer::singleShot(0, this, [this] {
    if (!LossPending) {
      return;
    }
    if (Device.bytesAvailable() > 0) {
      Raise(ports::PortEvent::Received);  // what arrived before the loss is kept
    }
    ErrorText = Device.portName().toStdString() + ": the device went away";
    OwnCall = true;
    Device.close();
    Device.clearError();
    OwnCall = false;
    LossPending = false;
    Raise(ports::PortEvent::DeviceGone);
  });
}

void QtSerialPort::OnError(QSerialPort::SerialPortError error) {
  // Errors of our own open, close and line requests are answered by their results; a write to
  // a closed port is answered by Write's.
  if (OwnCall || error == QSerialPort::NoError || error == QSerialPort::NotOpenError) {
    return;
  }
  const std::string text = Device.errorString().toStdString();  // clearError() resets it
  Device.clearError();
  if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError) {
    DeviceLost();
    return;
  }
  ErrorText = text;
  Raise(EventFor(error));  // never NoError: that returned above
}

}  // namespace korvani::ui
