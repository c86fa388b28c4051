// SPDX-License-Identifier: GPL-3.0-or-later
// A serial port in memory: tests put bytes "on the line" and read what was written.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "ports/serial_port.h"

namespace korvani::fakes {

class FakeSerialPort final : public ports::SerialPort, public ports::SerialLine {
 public:
  void SetPortNumber(std::int16_t number) override { Number = number; }
  [[nodiscard]] std::int16_t PortNumber() const override { return Number; }
  [[nodiscard]] ports::SerialLine* Line() override { return HasLine ? this : nullptr; }
  void SetLine(const ports::LineSettings& line) override { Given = line; }
  [[nodiscard]] bool IsOpen() const override { return Open; }
  bool SetOpen(bool open) override {
    OpenCalls.push_back(open);
    if (open && RefuseOpen) {
      return false;
    }
    if (!open) {
      Waiting.clear();  // whatever the port held is lost
    }
    if (open && !Open) {
      LinesNow.Dtr = Given.DtrOnOpen;  // as a driver does on open
      LinesNow.Rts = Given.RtsOnOpen;
    }
    Open = open;
    return true;
  }
  [[nodiscard]] std::int64_t BytesWaiting() const override {
    return static_cast<std::int64_t>(Waiting.size());
  }
  [[nodiscard]] std::int64_t Capacity() const override { return CapacityBytes; }
  void SetReadLength(std::int32_t length) override { ReadLength = length; }
  std::string ReadInput() override {
    if (ReadLength > 0 && Waiting.size() > static_cast<std::size_t>(ReadLength)) {
      std::string part = Waiting.substr(0, static_cast<std::size_t>(ReadLength));
      Waiting.erase(0, part.size());
      return part;
    }
    return std::exchange(Waiting, {});
  }
  bool Write(std::string_view data) override {
    if (ThrowOnWrite) {
      throw std::runtime_error("the port's driver failed");
    }
    if (!Open) {
      return false;
    }
    Written.append(data);
    return true;
  }
  [[nodiscard]] std::string LastError() const override { return Error; }
  [[nodiscard]] bool HasControlLines() const override { return Open && !NoControlLines; }
  [[nodiscard]] bool MoreArriving() const override { return MoreComing; }
  bool SetDtr(bool on) override { return Open && ((LinesNow.Dtr = on), true); }
  bool SetRts(bool on) override { return Open && ((LinesNow.Rts = on), true); }
  [[nodiscard]] ports::ControlLines Lines() const override { return LinesNow; }
  [[nodiscard]] std::int64_t BytesToWrite() const override { return StillToWrite; }
  bool SendBreak(int milliseconds) override {
    if (!Open) {
      return false;
    }
    Breaks.push_back(milliseconds);
    return true;
  }

  // Bytes arrive on the line and the port reports them.
  void Arrive(std::string_view bytes) {
    Waiting.append(bytes);
    RaiseEvent(ports::PortEvent::Received);
  }
  void Raise(ports::PortEvent event) { RaiseEvent(event); }

  std::string Waiting;
  std::string Written;
  std::string Error;
  std::vector<bool> OpenCalls;
  ports::LineSettings Given{9600};  // the line's settings as the panel last gave them
  ports::ControlLines LinesNow;     // tests set the inputs
  std::vector<int> Breaks;
  std::int64_t StillToWrite = 0;  // bytes a test says are not yet out
  std::int64_t CapacityBytes = 1 << 20;
  std::int16_t Number = 0;
  std::int32_t ReadLength = -1;  // unset until the panel sets it
  bool Open = false;
  bool RefuseOpen = false;
  bool HasLine = true;          // false: a source without a line of its own, as a network port
  bool NoControlLines = false;  // true: a line without control lines, as a pseudo-terminal
  bool MoreComing = false;      // more bytes said to be on their way
  bool ThrowOnWrite = false;    // a failure the panel does not expect
};

}  // namespace korvani::fakes
