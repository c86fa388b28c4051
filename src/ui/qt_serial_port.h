// The serial port over QSerialPort. COM numbers are mapped to device paths given by main
// (on Windows an unmapped number n is the device "COMn").
#pragma once

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <map>

#include "terminal/serial_port.h"

namespace korvani::ui {

class QtSerialPort final : public QObject, public terminal::SerialPort {
  Q_OBJECT

 public:
  // What the port holds before a full receive buffer counts as an overflow.
  static constexpr std::int64_t kCapacity = std::int64_t{16} * 1024 * 1024;

  explicit QtSerialPort(QObject* parent = nullptr);
  ~QtSerialPort() override;

  void SetPortPath(std::int16_t number, const QString& path);
  [[nodiscard]] QString PortPath(std::int16_t number) const;

  void SetPortNumber(std::int16_t number) override;
  [[nodiscard]] std::int16_t PortNumber() const override { return Number; }
  void SetSettings(const std::string& settings) override;
  [[nodiscard]] std::string Settings() const override { return LineSettings; }
  [[nodiscard]] bool IsOpen() const override;
  bool SetOpen(bool open) override;
  [[nodiscard]] std::int64_t BytesWaiting() const override;
  [[nodiscard]] std::int64_t Capacity() const override { return kCapacity; }
  void SetReadLength(std::int32_t length) override { ReadLength = length; }
  std::string ReadInput() override;
  bool Write(std::string_view data) override;
  [[nodiscard]] std::string LastError() const override { return ErrorText; }

  // The event code an error of the serial port is reported as, or 0 for none.
  static int EventCodeFor(QSerialPort::SerialPortError error);

 private:
  bool ApplyLineSettings();
  void OnError(QSerialPort::SerialPortError error);

  QSerialPort Device;
  std::map<std::int16_t, QString> Paths;
  std::int16_t Number = 0;
  std::int32_t ReadLength = 0;
  std::string LineSettings = "9600,N,8,1";
  std::string ErrorText;
  bool Opening = false;  // inside SetOpen: its errors are not communication events
};

}  // namespace korvani::ui
