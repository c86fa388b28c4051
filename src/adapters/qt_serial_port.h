// SPDX-License-Identifier: GPL-3.0-or-later
// The serial port over QSerialPort. A resolver given by main maps COM numbers to device
// paths. A device that goes away (an adapter pulled out, a pty whose other end closed) is
// closed once, after what it delivered has been read, and reported as an error event.
//
// The device lives on a reading thread of its own: it reads the line as bytes arrive and
// keeps them (a megabyte at most) for the window's thread, which takes them all at once and
// only handles them. Everything else the port does (open, close, the line, writes) runs on
// the reading thread too, asked for from the window's thread and waited for; events are
// raised on the window's thread.
#pragma once

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

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
  [[nodiscard]] std::string LastError() const override;
  void SetLine(const ports::LineSettings& line) override { Settings = line; }
  bool SetDtr(bool on) override;
  bool SetRts(bool on) override;
  [[nodiscard]] ports::ControlLines Lines() const override;
  bool SendBreak(int milliseconds) override;
  [[nodiscard]] bool HasControlLines() const override { return Opened && LinesReadable; }
  [[nodiscard]] std::int64_t BytesToWrite() const override;

  // The event code an error of the serial port is reported as, or 0 for none.
  static ports::PortEvent EventFor(QSerialPort::SerialPortError error);

 private:
  // Runs `request` on the reading thread and waits for its answer.
  template <typename Request>
  auto OnReader(Request request) const;
  // Reading thread: the device and its timers made and wired, and taken down.
  void MakeDevice();
  // Reading thread: what the device holds moves to the bytes kept for the window's thread,
  // as far as the read-ahead allows; the window's thread hears of it once per batch.
  void TakeArrived();
  // Window's thread: the reading thread is told to go on once the kept bytes are taken.
  void ResumeIfHeld();
  // Speed, format and flow control on the open device; empty, or why it refused them.
  std::string ApplyLineSettings();
  void ApplyLinesOnOpen();
  bool OwnRequest(const std::function<bool()>& request);
  void Raise(ports::PortEvent event);
  void OnError(QSerialPort::SerialPortError error);
  // Closes a device that is gone and reports it as one error event.
  void DeviceLost();
  // Why a device would not open, in words a user can act on.
  static std::string OpenFailureText(const QString& path, QSerialPort::SerialPortError error,
                                     const QString& errorText);

  // A device can go away without a word from QSerialPort: look for a hang-up every second.
  void CheckHangUp();
  void SetError(std::string text);
  // Reading thread: the device closed, if open, without an error event.
  void CloseDevice();

  // Made, used and destroyed on the reading thread only.
  QThread Reader;
  QObject* OnReaderThread = nullptr;  // the reading thread's context for queued calls
  std::unique_ptr<QSerialPort> Device;
  std::unique_ptr<QTimer> HangUpTimer;
  std::unique_ptr<QTimer> BreakTimer;  // ends a break
  bool LossPending = false;
  bool OwnCall = false;  // inside our own request: its errors are not communication events

  // Set before the port opens, or only while the reading thread works for the window's.
  PathResolver Resolve;
  FaultReport Report;
  std::int16_t Number = 0;
  std::int32_t ReadLength = 0;
  ports::LineSettings Settings;

  // Shared by the two threads.
  std::atomic<bool> Opened = false;         // as the window's thread knows it
  std::atomic<unsigned> Openings = 0;       // opens so far
  std::atomic<bool> LinesReadable = false;  // the open device answers for its control lines
  std::atomic<int> Handle = -1;             // the open device's descriptor (Unix), for a look
  mutable std::mutex Mutex;                 // guards what follows
  std::string Arrived;                      // read, not yet taken by the window's thread
  bool Told = false;                        // the window's thread has been told of Arrived
  bool Held = false;                        // the device holds more than Arrived had room for
  std::string ErrorText;
};

}  // namespace korvani::ui
