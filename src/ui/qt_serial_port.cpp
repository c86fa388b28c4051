#include "ui/qt_serial_port.h"

#include <QStringList>

namespace korvani::ui {

QtSerialPort::QtSerialPort(QObject* parent) : QObject(parent) {
  Device.setReadBufferSize(kCapacity);
  connect(&Device, &QSerialPort::readyRead, this, [this] { RaiseEvent(terminal::kEventReceive); });
  connect(&Device, &QSerialPort::errorOccurred, this, &QtSerialPort::OnError);
}

QtSerialPort::~QtSerialPort() {
  Device.disconnect(this);
  Device.close();
}

void QtSerialPort::SetPortPath(std::int16_t number, const QString& path) {
  Paths[number] = path;
}

QString QtSerialPort::PortPath(std::int16_t number) const {
  const auto found = Paths.find(number);
  if (found != Paths.end()) {
    return found->second;
  }
#ifdef Q_OS_WIN
  return QStringLiteral("COM%1").arg(number);
#else
  return {};
#endif
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
  const QString path = PortPath(Number);
  if (path.isEmpty()) {
    ErrorText = "no device is known as COM" + std::to_string(Number);
    return false;
  }
  Opening = true;
  Device.setPortName(path);
  bool opened = Device.open(QIODevice::ReadWrite);
  if (opened && !ApplyLineSettings()) {
    ErrorText = "the device at " + path.toStdString() + " refuses the settings " + LineSettings;
    Device.close();
    opened = false;
  } else if (!opened) {
    ErrorText = "cannot open " + path.toStdString() + ": " + Device.errorString().toStdString();
  } else {
    ErrorText.clear();
  }
  Device.clearError();
  Opening = false;
  return opened;
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

void QtSerialPort::OnError(QSerialPort::SerialPortError error) {
  // Errors of our own open and close are answered by SetOpen's result; a write to a closed
  // port is answered by Write's.
  if (Opening || error == QSerialPort::NoError || error == QSerialPort::NotOpenError) {
    return;
  }
  ErrorText = Device.errorString().toStdString();
  Device.clearError();
  RaiseEvent(EventCodeFor(error));
}

}  // namespace korvani::ui
