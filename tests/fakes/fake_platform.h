// A device source with a fixed list of ports, a clock that shows a fixed time, and the
// whole fake platform for a panel.
#pragma once

#include <string>
#include <vector>

#include "app/panel.h"
#include "base/clock.h"
#include "fakes/fake_serial_port.h"
#include "fakes/fake_surface.h"
#include "ports/dev_lister.h"

namespace korvani::fakes {

class FakeDeviceSource final : public ports::DeviceSource {
 public:
  std::string GetGUIDByName(std::string_view className,
                            std::vector<ports::GUID_Storage>& classGUID) override {
    if (!GuidStatus.empty()) {
      return GuidStatus;
    }
    if (className != "Ports") {
      return "Incorrect class name";
    }
    classGUID.assign(1, ports::GUID_Storage{});
    return "OK";
  }
  std::string GetNameByGUID(const ports::GUID_Storage&, std::string& className) override {
    className = "Ports";
    return "OK";
  }
  std::string GetNameByGUID2(const ports::GUID_Storage&, std::string& className) override {
    className = std::string("Ports\0", 6);
    return "OK";
  }
  std::string AddToList(const ports::GUID_Storage*, bool,
                        std::vector<ports::DevInfo_Storage>& list) override {
    for (const std::string& name : Names) {
      ports::DevInfo_Storage device;
      device.SPDRP_FRIENDLYNAME = name;
      list.push_back(device);
    }
    return ListStatus;
  }
  std::int16_t AddUserPort(const std::string& path) override {
    Names.push_back("Serial device " + path + " (COM200)");
    return ports::kFirstUserPort;
  }
  [[nodiscard]] std::string DevicePath(std::int16_t comNumber) const override {
    return "/dev/fake" + std::to_string(comNumber);
  }

  std::vector<std::string> Names;
  std::string GuidStatus;
  std::string ListStatus = "OK";
};

class FakeClock final : public base::Clock {
 public:
  [[nodiscard]] base::LocalTime Now() const override { return Time; }
  base::LocalTime Time{2026, 12, 7, 15, 30, 45, 1};  // Monday 7 December 2026, 15:30:45
};

// Everything a panel needs, faked.
struct FakePlatform {
  FakeSerialPort Port;
  FakeSurface Surface;
  FakeDialogs Dialogs;
  FakeDeviceSource Devices;
  FakeClock Clock;

  app::Platform Get() { return {Port, Surface, Dialogs, Devices, Clock, "https://vexel.example.com"}; }
};

}  // namespace korvani::fakes
