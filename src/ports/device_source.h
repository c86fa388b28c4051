// SPDX-License-Identifier: GPL-3.0-or-later
// The machine's serial ports in portable words: each with its COM number, the path the
// serial port opens and the name the port list shows. The platform's device source does the
// asking (src/platform: sysfs on Linux, the device-installation API on Windows).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace korvani::ports {

struct PortDevice {
  std::int16_t Number = 0;  // the COM number; 0 when the name has none
  std::string Path;         // what the serial port opens: "/dev/ttyUSB0", "COM3"
  std::string Name;         // as the port list shows it: "... (COM33)"
};

// Why the ports could not be listed, as the user is told it.
struct ListProblem {
  std::string Title;
  std::string Text;
};

class DeviceSource {
 public:
  virtual ~DeviceSource() = default;
  // Appends the machine's serial ports, the devices named by path among them; nothing, or
  // the problem that kept them from being listed.
  virtual std::optional<ListProblem> ListPorts(std::vector<PortDevice>& ports) = 0;
  // A device the user named by path on the command line: its COM number (listed from then
  // on); 0 when no number is left.
  virtual std::int16_t AddUserPort(const std::string& path) = 0;
  // The device path the serial port opens for a COM number; empty when none is known.
  [[nodiscard]] virtual std::string DevicePath(std::int16_t comNumber) const = 0;
};

// Devices named on the command line are listed from COM200 up; the numbers above are the
// added ports' (network ports, a replay, the demo board: see ports/added_ports.h).
inline constexpr std::int16_t kFirstUserPort = 200;
inline constexpr std::int16_t kLastUserPort = 219;

// The devices named by path, numbered the same on every platform: each path gets the first
// number from COM200 up that no port of the machine has, and keeps it.
class UserPorts {
 public:
  // The path's number (the one it has, or a new one); 0 when none is left.
  std::int16_t Add(const std::string& path, const std::set<std::int16_t>& machineNumbers);
  // The path of a number given out; empty for any other number.
  [[nodiscard]] std::string PathOf(std::int16_t number) const;
  // Appends them as the port list shows them: "Serial device PATH (COMn)".
  void AppendTo(std::vector<PortDevice>& ports) const;

 private:
  std::map<std::int16_t, std::string> Paths;
};

}  // namespace korvani::ports
