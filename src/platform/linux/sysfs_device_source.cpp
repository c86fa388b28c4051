// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/sysfs_device_source.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>

#include "base/files.h"
#include "base/text.h"

namespace korvani::platform {

using ports::kFirstUserPort;
using ports::kLastUserPort;
using ports::PortDevice;

namespace fs = std::filesystem;

namespace {

struct NumberedFamily {
  std::string_view Prefix;
  std::int16_t FirstNumber;
};

// Families with fixed numbers: 32 devices each.
constexpr NumberedFamily kFamilies[] = {{"ttyUSB", 33}, {"ttyACM", 65}, {"rfcomm", 97}, {"ttyS", 1}};
constexpr std::int16_t kFirstOtherPort = 129;
constexpr std::int16_t kLastOtherPort = 199;

std::string ReadLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
    line.pop_back();
  }
  return line;
}

// The number of a fixed family's device (ttyUSB3 -> 36), if it is one.
std::optional<std::int16_t> FamilyNumber(const std::string& name) {
  for (const NumberedFamily& family : kFamilies) {
    if (name.rfind(family.Prefix, 0) != 0) {
      continue;
    }
    const std::string digits = name.substr(family.Prefix.size());
    if (digits.empty() || digits.size() > 2 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      return std::nullopt;
    }
    const int index = std::stoi(digits);
    if (index > 31) {
      return std::nullopt;
    }
    return static_cast<std::int16_t>(family.FirstNumber + index);
  }
  return std::nullopt;
}

// The product name of the USB device above a tty's device, or its driver's name.
std::string Description(const fs::path& device) {
  std::error_code error;
  fs::path at = fs::canonical(device, error);
  if (error) {
    return {};
  }
  for (int level = 0; level < 4 && !at.empty(); ++level, at = at.parent_path()) {
    std::string product = ReadLine(at / "product");
    if (!product.empty()) {
      return product;
    }
  }
  const fs::path driver = fs::canonical(device / "driver", error);
  return error ? std::string() : driver.filename().string();
}

// Where a family's numbers start: ttyUSB3 -> 33.
std::int16_t FamilyStart(const std::string& name) {
  for (const NumberedFamily& family : kFamilies) {
    if (name.rfind(family.Prefix, 0) == 0) {
      return family.FirstNumber;
    }
  }
  return 0;
}

// A USB adapter's identity: vendor and product, then its serial number or, without one, the
// USB port it is plugged into; then its interface. Empty when the tty is no USB device.
std::string UsbIdentity(const fs::path& device) {
  std::error_code error;
  fs::path at = fs::canonical(device, error);
  if (error) {
    return {};
  }
  std::string interface;
  for (int level = 0; level < 5 && at.has_relative_path(); ++level, at = at.parent_path()) {
    if (interface.empty()) {
      interface = ReadLine(at / "bInterfaceNumber");
    }
    const std::string vendor = ReadLine(at / "idVendor");
    const std::string product = ReadLine(at / "idProduct");
    if (!vendor.empty() && !product.empty()) {
      const std::string serial = ReadLine(at / "serial");
      std::string identity = "usb ";
      identity.append(vendor).append(":").append(product);
      identity.append(serial.empty() ? " at " : " serial ")
          .append(serial.empty() ? at.filename().string() : serial);
      if (!interface.empty()) {
        identity.append(" if ").append(interface);
      }
      return identity;
    }
  }
  return {};
}

std::string ComKey(std::int16_t number) {
  return "COM" + std::to_string(number);
}

// A tty with hardware behind it (Bluetooth links have none of their own), and not an empty
// UART slot. Virtual terminals, ptys and the console are left out.
bool IsSerialPort(const fs::path& tty, const std::string& name) {
  std::error_code error;
  if (name.rfind("rfcomm", 0) == 0) {
    return true;
  }
  if (!fs::exists(tty / "device", error)) {
    return false;
  }
  return name.rfind("ttyS", 0) != 0 || ReadLine(tty / "type") != "0";
}

// What the list calls a port. A UART names no product, and its driver's name
// ("serial8250", "port") tells a user nothing: call it what it is.
std::string PortDescription(const std::string& name, const fs::path& device) {
  std::string description = name.rfind("ttyS", 0) == 0 ? std::string() : Description(device);
  return description.empty() ? "Serial port" : description;
}

}  // namespace

SysfsDeviceSource::SysfsDeviceSource(std::string sysRoot, std::string devRoot, std::string identityFile)
    : SysRoot(std::move(sysRoot)), DevRoot(std::move(devRoot)), IdentityFile(std::move(identityFile)) {
  if (IdentityFile.empty()) {
    return;
  }
  for (const auto& [key, identity] : base::ReadKeyValueLines(base::ReadWholeFile(IdentityFile))) {
    const std::optional<std::int16_t> number =
        key.rfind("COM", 0) == 0
            ? std::optional<std::int16_t>(static_cast<std::int16_t>(std::atoi(key.c_str() + 3)))
            : std::nullopt;
    if (number && *number >= 1 && *number < kFirstOtherPort && !identity.empty()) {
      Remembered[identity] = *number;
    }
  }
}

std::vector<SysfsDeviceSource::Port> SysfsDeviceSource::NumberAdapters(
    std::vector<std::pair<std::string, Port>>& adapters, std::vector<Port>& byName) const {
  std::vector<Port> numbered;
  std::set<std::int16_t> held;  // remembered for an adapter, here or not
  for (const auto& [identity, number] : Remembered) {
    held.insert(number);
  }
  std::set<std::int16_t> used;
  std::set<std::string, std::less<>> seen;
  bool learned = false;
  // In name order, the remembered first, so a new adapter never takes the number of one seen
  // before.
  std::sort(adapters.begin(), adapters.end(),
            [](const auto& a, const auto& b) { return a.second.Path < b.second.Path; });
  std::stable_partition(adapters.begin(), adapters.end(),
                        [this](const auto& adapter) { return Remembered.contains(adapter.first); });
  for (auto& [identity, port] : adapters) {
    if (!seen.insert(identity).second) {
      byName.push_back(port);  // a clone with the same serial number: it cannot be told apart
      continue;
    }
    if (const auto known = Remembered.find(identity); known != Remembered.end()) {
      port.Number = known->second;
    } else {
      const std::int16_t first = FamilyStart(port.Path.substr(port.Path.rfind('/') + 1));
      std::int16_t free = held.contains(port.Number) ? std::int16_t{0} : port.Number;
      for (std::int16_t number = first; free == 0 && number < first + 32; ++number) {
        free = held.contains(number) || used.contains(number) ? std::int16_t{0} : number;
      }
      if (free == 0) {
        byName.push_back(port);
        continue;
      }
      port.Number = free;
      Remembered[identity] = free;
      held.insert(free);
      learned = true;
    }
    used.insert(port.Number);
    numbered.push_back(port);
  }
  if (learned && !IdentityFile.empty()) {
    std::string text = "# USB serial adapters by identity, each with the COM number it keeps\n";
    std::vector<std::pair<std::int16_t, std::string>> byNumber;
    for (const auto& [identity, number] : Remembered) {
      byNumber.emplace_back(number, identity);
    }
    std::sort(byNumber.begin(), byNumber.end());
    for (const auto& [number, identity] : byNumber) {
      text += ComKey(number) + "=" + identity + "\n";
    }
    std::error_code error;
    fs::create_directories(base::Utf8Path(IdentityFile).parent_path(), error);
    base::WriteFileAtomically(IdentityFile, text);
  }
  return numbered;
}

std::int16_t SysfsDeviceSource::AddUserPort(const std::string& path) {
  return Named.Add(path, {});  // the machine's own numbers end below COM200
}

std::vector<SysfsDeviceSource::Port> SysfsDeviceSource::ScanPorts() const {
  std::vector<Port> ports;
  std::vector<std::pair<std::string, std::string>> others;  // name, description
  std::vector<std::pair<std::string, Port>> adapters;       // identity, port
  std::error_code error;
  for (const fs::directory_entry& entry :
       fs::directory_iterator(fs::path(SysRoot) / "class" / "tty", error)) {
    const std::string name = entry.path().filename().string();
    if (!IsSerialPort(entry.path(), name)) {
      continue;
    }
    const std::string path = (fs::path(DevRoot) / name).string();
    const std::optional<std::int16_t> number = FamilyNumber(name);
    if (name.rfind("rfcomm", 0) == 0) {
      if (number) {
        ports.push_back({*number, path, "BT Bluetooth serial link " + path});
      }
    } else if (number) {
      Port port{*number, path, PortDescription(name, entry.path() / "device") + " " + path};
      const std::string identity =
          name.rfind("ttyS", 0) == 0 ? std::string() : UsbIdentity(entry.path() / "device");
      if (identity.empty()) {
        ports.push_back(std::move(port));
      } else {
        adapters.emplace_back(identity, std::move(port));
      }
    } else {
      others.emplace_back(name, PortDescription(name, entry.path() / "device"));
    }
  }
  // The adapters' numbers first; a device numbered by name whose number one of them holds
  // joins the rest.
  std::vector<Port> byName = std::move(ports);
  ports = NumberAdapters(adapters, byName);
  std::set<std::int16_t> numbers;
  for (const Port& port : ports) {
    numbers.insert(port.Number);
  }
  for (Port& port : byName) {
    if (numbers.insert(port.Number).second) {
      ports.push_back(std::move(port));
    } else {
      others.emplace_back(port.Path.substr(port.Path.rfind('/') + 1),
                          port.Name.substr(0, port.Name.rfind(' ')));
    }
  }
  // The rest, in name order, from COM129 up; then the devices named on the command line.
  std::sort(others.begin(), others.end());
  std::int16_t next = kFirstOtherPort;
  for (const auto& [name, description] : others) {
    if (next > kLastOtherPort) {
      break;
    }
    const std::string path = (fs::path(DevRoot) / name).string();
    ports.push_back({next++, path, std::string(description).append(" ").append(path)});
  }
  std::sort(ports.begin(), ports.end(), [](const Port& a, const Port& b) { return a.Number < b.Number; });
  for (Port& port : ports) {
    port.Name += " (COM" + std::to_string(port.Number) + ")";
  }
  return ports;
}

std::optional<ports::ListProblem> SysfsDeviceSource::ListPorts(std::vector<PortDevice>& ports) {
  for (Port& port : ScanPorts()) {
    ports.push_back({port.Number, std::move(port.Path), std::move(port.Name)});
  }
  Named.AppendTo(ports);
  return std::nullopt;  // a machine without sysfs has no ports to list
}

std::string SysfsDeviceSource::DevicePath(std::int16_t comNumber) const {
  if (comNumber >= kFirstUserPort) {
    return Named.PathOf(comNumber);
  }
  for (const Port& port : ScanPorts()) {
    if (port.Number == comNumber) {
      return port.Path;
    }
  }
  return {};
}

}  // namespace korvani::platform
