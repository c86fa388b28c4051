// SPDX-License-Identifier: GPL-3.0-or-later
// Linux's serial ports from sysfs (/sys/class/tty): every tty backed by real hardware (USB
// serial, CDC ACM, a present UART, other serial hardware) and Bluetooth rfcomm links, each
// with a stable COM number:
//   ttyS0-31 -> COM1-32, ttyUSB0-31 -> COM33-64, ttyACM0-31 -> COM65-96,
//   rfcomm0-31 -> COM97-128, other hardware -> COM129-199 in name order,
//   paths added by the user (--port) -> COM200 upward.
// A USB adapter (ttyUSB, ttyACM) is known by its identity: vendor, product and serial
// number, or the USB port it is plugged into when it has no serial number (and its
// interface, for adapters with several ports). The number it first gets is remembered by
// that identity, so it keeps it whatever name it comes back under: an adapter that was
// COM33 as ttyUSB0 is COM33 as ttyUSB1. A new adapter takes its name's number unless a
// remembered adapter holds it, then the first free one of its family. Devices without an
// identity are numbered by name as before, and so is the second of two adapters with the
// same identity (clones that share a serial number).
// A display name reads "<product or driver> <device path> (COMn)"; Bluetooth ones begin
// with "BT ".
#pragma once

#include <map>
#include <string>
#include <vector>

#include "ports/device_source.h"

namespace korvani::platform {

class SysfsDeviceSource final : public ports::DeviceSource {
 public:
  // `sysRoot` stands for /sys and `devRoot` for /dev (tests point them at fixture trees).
  // `identityFile` remembers the adapters' numbers ("" remembers them for this run only).
  explicit SysfsDeviceSource(std::string sysRoot = "/sys", std::string devRoot = "/dev",
                             std::string identityFile = "");

  std::int16_t AddUserPort(const std::string& path) override;

  std::optional<ports::ListProblem> ListPorts(std::vector<ports::PortDevice>& ports) override;

  [[nodiscard]] std::string DevicePath(std::int16_t comNumber) const override;

 private:
  struct Port {
    std::int16_t Number;
    std::string Path;
    std::string Name;
  };
  [[nodiscard]] std::vector<Port> ScanPorts() const;
  // The adapters numbered by their identity (new ones remembered). One that finds its
  // family's numbers all remembered for others goes to `byName` and keeps its name's number.
  std::vector<Port> NumberAdapters(std::vector<std::pair<std::string, Port>>& adapters,
                                   std::vector<Port>& byName) const;

  std::string SysRoot;
  std::string DevRoot;
  std::string IdentityFile;
  ports::UserPorts Named;  // the paths named on the command line
  // Identity -> COM number; a scan remembers each new adapter (a scan is a const look).
  mutable std::map<std::string, std::int16_t, std::less<>> Remembered;
};

}  // namespace korvani::platform
