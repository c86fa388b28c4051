#include "ui/qt_serial_port.h"

#include <QFileInfo>
#include <QStringList>
#include <QTimer>

#ifndef Q_OS_WIN
#include <poll.h>
#endif

namespace korvani::ui {

QtSerialPort::QtSerialPort(QObject* parent) : QObject(parent) {
  Device.setReadBufferSize(kCapacity);
  connect(&Device, &QSerialPort::readyRead, this, &QtSerialPort::OnReadyRead);
  connect(&Device, &QSerialPort::errorOccurred, this, &QtSerialPort::OnError);
  HangUpTimer.setInterval(1000);
  connect(&HangUpTimer, &QTimer::timeout, this, &QtSerialPort::CheckHangUp);
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

void QtSerialPort::SetSettings(const std::string& settings) {
  LineSettings = settings;
}

bool QtSerialPort::IsOpen() const {
  return Device.isOpen();
}

bool QtSerialPort::ApplyLineSettings() {
  const QStringList parts = QString::fromStdString(LineSettings).split(QLatin1Char(','));
  if (parts.size() != 4) {
    return false;
  }
  bool baudOk = false;
  const int baud = parts[0].trimmed().toInt(&baudOk);
  const QString parity = parts[1].trimmed().toUpper();
  const QString dataBits = parts[2].trimmed();
  const QString stopBits = parts[3].trimmed();
  if (!baudOk || baud <= 0 || !Device.setBaudRate(baud)) {
    return false;
  }
  static const std::map<QString, QSerialPort::Parity> kParities = {
      {QStringLiteral("N"), QSerialPort::NoParity},
      {QStringLiteral("E"), QSerialPort::EvenParity},
      {QStringLiteral("O"), QSerialPort::OddParity},
      {QStringLiteral("M"), QSerialPort::MarkParity},
      {QStringLiteral("S"), QSerialPort::SpaceParity}};
  static const std::map<QString, QSerialPort::DataBits> kDataBits = {
      {QStringLiteral("5"), QSerialPort::Data5},
      {QStringLiteral("6"), QSerialPort::Data6},
      {QStringLiteral("7"), QSerialPort::Data7},
      {QStringLiteral("8"), QSerialPort::Data8}};
  static const std::map<QString, QSerialPort::StopBits> kStopBits = {
      {QStringLiteral("1"), QSerialPort::OneStop},
      {QStringLiteral("1.5"), QSerialPort::OneAndHalfStop},
      {QStringLiteral("2"), QSerialPort::TwoStop}};
  const auto p = kParities.find(parity);
  const auto d = kDataBits.find(dataBits);
  const auto s = kStopBits.find(stopBits);
  if (p == kParities.end() || d == kDataBits.end() || s == kStopBits.end()) {
    return false;
  }
  return Device.setParity(p->second) && Device.setDataBits(d->second) && Device.setStopBits(s->second) &&
         Device.setFlowControl(QSerialPort::NoFlowControl);
}

bool QtSerialPort::SetOpen(bool open) {
  if (!open) {
    if (Device.isOpen()) {
      Opening = true;
      Device.close();
      Device.clearError();
      Opening = false;
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
  Opening = true;
  LossPending = false;
  Device.setPortName(path);
  bool opened = Device.open(QIODevice::ReadWrite);
  if (opened && !ApplyLineSettings()) {
    ErrorText = path.toStdString() + " does not take the settings " + LineSettings;
    Device.close();
    opened = false;
  } else if (!opened) {
    ErrorText = OpenFailureText(path, Device.error(), Device.errorString());
  } else {
    ErrorText.clear();
    HangUpTimer.start();
  }
  Device.clearError();
  Opening = false;
  return opened;
}

void QtSerialPort::Raise(int eventCode) {
  RunGuarded(Report, [this, eventCode] { RaiseEvent(eventCode); });
}

std::int64_t QtSerialPort::BytesWaiting() const {
  return Device.bytesAvailable();
}

std::string QtSerialPort::ReadInput() {
  const QByteArray data = ReadLength > 0 ? Device.read(ReadLength) : Device.readAll();
  return {data.constData(), static_cast<std::size_t>(data.size())};
}

bool QtSerialPort::Write(std::string_view data) {
  if (!Device.isOpen()) {
    return false;
  }
  const auto size = static_cast<qint64>(data.size());
  return Device.write(data.data(), size) == size;
}

int QtSerialPort::EventCodeFor(QSerialPort::SerialPortError error) {
  switch (error) {
    case QSerialPort::NoError:
      return 0;
    case QSerialPort::TimeoutError:
      return terminal::kEventCtsTimeout;
    case QSerialPort::ReadError:
      return terminal::kEventOverrun;
    case QSerialPort::ResourceError:  // the device went away
      return terminal::kEventCdTimeout;
    case QSerialPort::WriteError:
      return terminal::kEventTxFull;
    default:
      return terminal::kEventFrame;
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
  Raise(terminal::kEventReceive);
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
      Raise(terminal::kEventReceive);  // what arrived before the loss is kept
    }
    ErrorText = Device.portName().toStdString() + ": the device went away";
    Opening = true;
    Device.close();
    Device.clearError();
    Opening = false;
    LossPending = false;
    Raise(terminal::kEventCdTimeout);
  });
}

void QtSerialPort::OnError(QSerialPort::SerialPortError error) {
  // Errors of our own open and close are answered by SetOpen's result; a write to a closed
  // port is answered by Write's.
  if (Opening || error == QSerialPort::NoError || error == QSerialPort::NotOpenError) {
    return;
  }
  const std::string text = Device.errorString().toStdString();  // clearError() resets it
  Device.clearError();
  if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError) {
    DeviceLost();
    return;
  }
  ErrorText = text;
  Raise(EventCodeFor(error));
}

}  // namespace korvani::ui
