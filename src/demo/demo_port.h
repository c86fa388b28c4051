// The demo board behind the serial-port interface, listed as a port of its own: the panel
// opens, reads and writes it like any other port. The board runs on a window timer, and
// what it sends arrives as receive events from that timer, never from inside a write.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/timer.h"
#include "demo/demo_board.h"
#include "ports/dev_lister.h"
#include "terminal/serial_port.h"

namespace korvani::demo {

// The COM number the demo board is listed under: the highest the port list shows.
inline constexpr std::int16_t kDemoPortNumber = 255;
inline constexpr std::string_view kDemoPortName = "Vexel demo board (COM255)";

class DemoPort final : public terminal::SerialPort {
 public:
  explicit DemoPort(std::unique_ptr<base::Timer> timer);

  void SetPortNumber(std::int16_t number) override { Number = number; }
  [[nodiscard]] std::int16_t PortNumber() const override { return Number; }
  void SetSettings(const std::string& settings) override { LineSettings = settings; }
  [[nodiscard]] std::string Settings() const override { return LineSettings; }
  [[nodiscard]] bool IsOpen() const override { return Open; }
  bool SetOpen(bool open) override;
  [[nodiscard]] std::int64_t BytesWaiting() const override {
    return static_cast<std::int64_t>(Waiting.size());
  }
  [[nodiscard]] std::int64_t Capacity() const override { return kCapacity; }
  void SetReadLength(std::int32_t length) override { ReadLength = length; }
  std::string ReadInput() override;
  bool Write(std::string_view data) override;
  [[nodiscard]] std::string LastError() const override { return {}; }

  // The board's timer tick: the board works, and what it sent is announced.
  void Tick();
  [[nodiscard]] const DemoBoard& Board() const { return Vexel; }

 private:
  static constexpr std::int64_t kCapacity = 1 << 20;

  std::unique_ptr<base::Timer> BoardTimer;
  DemoBoard Vexel;
  std::string Waiting;
  std::int16_t Number = 0;
  std::int32_t ReadLength = 0;
  std::string LineSettings = "9600,N,8,1";
  bool Open = false;
};

// One port for the panel that is the demo board while its number is chosen and the
// machine's real port otherwise.
class PortRouter final : public terminal::SerialPort {
 public:
  PortRouter(terminal::SerialPort& real, terminal::SerialPort& demo);

  void SetPortNumber(std::int16_t number) override;
  [[nodiscard]] std::int16_t PortNumber() const override { return Active().PortNumber(); }
  void SetSettings(const std::string& settings) override;
  [[nodiscard]] std::string Settings() const override { return Active().Settings(); }
  [[nodiscard]] bool IsOpen() const override { return Active().IsOpen(); }
  bool SetOpen(bool open) override { return Active().SetOpen(open); }
  [[nodiscard]] std::int64_t BytesWaiting() const override { return Active().BytesWaiting(); }
  [[nodiscard]] std::int64_t Capacity() const override { return Active().Capacity(); }
  void SetReadLength(std::int32_t length) override;
  std::string ReadInput() override { return Active().ReadInput(); }
  bool Write(std::string_view data) override { return Active().Write(data); }
  [[nodiscard]] std::string LastError() const override { return Active().LastError(); }
  void SetFlowControl(terminal::FlowControl flow) override;
  void SetLinesOnOpen(bool dtr, bool rts) override;
  bool SetDtr(bool on) override { return Active().SetDtr(on); }
  bool SetRts(bool on) override { return Active().SetRts(on); }
  [[nodiscard]] terminal::ControlLines Lines() const override { return Active().Lines(); }
  bool SendBreak(int milliseconds) override { return Active().SendBreak(milliseconds); }
  [[nodiscard]] std::int64_t BytesToWrite() const override { return Active().BytesToWrite(); }

 private:
  [[nodiscard]] terminal::SerialPort& Active() const { return UseDemo ? Demo : Real; }

  terminal::SerialPort& Real;
  terminal::SerialPort& Demo;
  bool UseDemo = false;
};

// The machine's serial ports with the demo board added to the "Ports" class.
class DemoDeviceSource final : public ports::DeviceSource {
 public:
  explicit DemoDeviceSource(ports::DeviceSource& machine) : Machine(machine) {}

  std::string GetGUIDByName(std::string_view className,
                            std::vector<ports::GUID_Storage>& classGUID) override {
    return Machine.GetGUIDByName(className, classGUID);
  }
  std::string GetNameByGUID(const ports::GUID_Storage& classGUID, std::string& className) override {
    return Machine.GetNameByGUID(classGUID, className);
  }
  std::string GetNameByGUID2(const ports::GUID_Storage& classGUID, std::string& className) override {
    return Machine.GetNameByGUID2(classGUID, className);
  }
  std::string AddToList(const ports::GUID_Storage* classID, bool bOnlyPresent,
                        std::vector<ports::DevInfo_Storage>& list) override;
  std::int16_t AddUserPort(const std::string& path) override { return Machine.AddUserPort(path); }
  [[nodiscard]] std::string DevicePath(std::int16_t comNumber) const override;

 private:
  ports::DeviceSource& Machine;
};

}  // namespace korvani::demo
