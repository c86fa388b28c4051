// SPDX-License-Identifier: GPL-3.0-or-later
// The serial port's words with QSerialPort: the line's settings in Qt's terms (and read back
// from the driver), Qt's errors as the program's events, and why a device would not open.
// Run on the reading thread, as everything that touches the device.
#include <QFileInfo>
#include <optional>
#include <string_view>

#include "adapters/qt_serial_port.h"
#include "platform/line_speed.h"

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

std::string QtSerialPort::ApplyLineSettings() {
  const std::string where = Device->portName().toStdString();
  std::string refused = where + " does not take the settings " + ports::SettingsText(Settings);
  const std::int32_t baud = Settings.Baud;
  std::string noSpeed = where + ": the adapter does not support " + std::to_string(baud) + " baud";
  if (baud <= 0) {
    return refused;
  }
  if (!Device->setBaudRate(baud)) {
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
      !Device->setDataBits(static_cast<QSerialPort::DataBits>(Settings.DataBits)) ||
      !Device->setParity(*parity) || !Device->setStopBits(*stopBits)) {
    return refused;
  }
  if (!Device->setFlowControl(ToQt::Flow(Settings.Flow))) {
    return where + ": the adapter does not take" + std::string(ports::FlowSuffix(Settings.Flow)) +
           " flow control";
  }
  // The speed the driver took, read back: a driver may round a speed it cannot make.
#ifdef Q_OS_WIN
  const auto handle = reinterpret_cast<std::intptr_t>(Device->handle());
#else
  const auto handle = static_cast<std::intptr_t>(Device->handle());
#endif
  const std::optional<std::int32_t> applied = platform::AppliedBaud(handle);
  if (applied && *applied != baud) {
    return noSpeed + " (it would run at " + std::to_string(*applied) + ")";
  }
  return {};
}

void QtSerialPort::ApplyLinesOnOpen() {
  Device->setDataTerminalReady(Settings.DtrOnOpen);
  if (Settings.Flow != ports::FlowControl::RtsCts) {
    Device->setRequestToSend(Settings.RtsOnOpen);
  }
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

}  // namespace korvani::ui
