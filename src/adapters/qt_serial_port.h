// SPDX-License-Identifier: GPL-3.0-or-later
// The serial port over QSerialPort. A resolver given by main maps COM numbers to device
// paths. A device that goes away (an adapter pulled out, a pty whose other end closed) is
// closed once, after what it delivered has been read, and reported as an error event.
#pragma once

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>
#include <functional>

#include "adapters/guarded.h"
#include "ports/serial_port.h"

namespace korvani::ui {

class QtSerialPort final : public QObject, public ports::SerialPort, public ports::SerialLine {
  Q_OBJECT

 public:
  // What the port holds before a full receive buffer counts as an overflow.
  static constexpr std::int64_t kCapacity = std::int64_t{16} * 1024 * 1024;

  explicit QtSerialPort(QObject* parent = nullptr);
  ~QtSerialPort() override;

  using PathResolver = std::function<std::string(std::int16_t comNumber)>;
  void SetPathResolver(PathResolver resolver) { Resolve = std::move(resolver); }
  // Where a failure of the event handler is told; it never leaves the port's signals.
  void SetFaultReport(FaultReport report) { Report = std::move(report); }

  void SetPortNumber(std::int16_t number) override;
  [[nodiscard]] std::int16_t PortNumber() const override { return Number; }
  [[nodiscard]] ports::SerialLine* Line() override { return this; }
  [[nodiscard]] bool IsOpen() const override;
  bool SetOpen(bool open) override;
  [[nodiscard]] std::int64_t BytesWaiting() const override;
  [[nodiscard]] std::int64_t Capacity() const override { return kCapacity; }
  [[nodiscard]] bool MoreArriving() const override;
  void SetReadLength(std::int32_t length) override { ReadLength = length; }
  std::string ReadInput() override;
  bool Write(std::string_view data) override;
  [[nodiscard]] std::string LastError() const override { return ErrorText; }
  void SetLine(const ports::LineSettings& line) override { Settings = line; }
  bool SetDtr(bool on) override;
  bool SetRts(bool on) override;
  [[nodiscard]] ports::ControlLines Lines() const override;
  bool SendBreak(int milliseconds) override;
  [[nodiscard]] bool HasControlLines() const override { return Device.isOpen() && LinesReadable; }
  [[nodiscard]] std::int64_t BytesToWrite() const override {
    return Device.isOpen() ? Device.bytesToWrite() : 0;
  }

  // The event code an error of the serial port is reported as, or 0 for none.
  static ports::PortEvent EventFor(QSerialPort::SerialPortError error);

 private:
  // Speed, format and flow control on the open device; empty, or why it refused them.
  std::string ApplyLineSettings();
  void ApplyLinesOnOpen();
  bool OwnRequest(const std::function<bool()>& request);
  void Raise(ports::PortEvent event);
  void OnError(QSerialPort::SerialPortError error);
  void OnReadyRead();
  // Closes a device that is gone and reports it as one error event.
  void DeviceLost();
  // Why a device would not open, in words a user can act on.
  static std::string OpenFailureText(const QString& path, QSerialPort::SerialPortError error,
                                     const QString& errorText);

  // A device can go away without a word from QSerialPort: look for a hang-up every second.
  void CheckHangUp();

  QSerialPort Device;
  QTimer HangUpTimer;
  QTimer BreakTimer;  // ends a break
  PathResolver Resolve;
  FaultReport Report;
  bool LossPending = false;
  std::int16_t Number = 0;
  std::int32_t ReadLength = 0;
  ports::LineSettings Settings;
  std::string ErrorText;
  bool OwnCall = false;        // inside our own request: its errors are not communication events
  bool LinesReadable = false;  // the open device answers for its control lines
};

}  // namespace korvani::ui
