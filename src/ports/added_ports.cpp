// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/added_ports.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "base/files.h"
#include "base/text.h"
#include "ports/com_port_list.h"

namespace korvani::ports {

namespace {

std::string ComKey(std::int16_t number) {
  return "COM" + std::to_string(number);
}

// The scheme's path for an address, or nothing when its parser refuses it.
std::optional<std::string> PathFor(const SourceScheme& scheme, std::string_view address) {
  std::string why;
  return scheme.Parse != nullptr ? scheme.Parse(address, why) : std::optional<std::string>(address);
}

}  // namespace

AddedPorts::AddedPorts(DeviceSource& machine, std::string networkFile)
    : Machine(machine), NetworkFile(std::move(networkFile)) {
  if (NetworkFile.empty()) {
    return;
  }
  // A remembered number that the machine now lists itself (a real COM230 on Windows) stays
  // the machine's; the port moves to a free number.
  const std::set<std::int32_t> listed = MachineNumbers();
  std::vector<std::pair<const SourceScheme*, std::string>> moving;
  for (const auto& [key, value] : base::ReadKeyValueLines(base::ReadWholeFile(NetworkFile))) {
    const SourceScheme* scheme = SchemeOf(value);
    const std::optional<std::string> path =
        scheme != nullptr && scheme->Remembered ? PathFor(*scheme, value) : std::nullopt;
    for (std::int16_t number = kFirstAddedPort; path && number <= kLastAddedPort; ++number) {
      if (key != ComKey(number) || Find(number) != nullptr) {
        continue;
      }
      if (listed.contains(number)) {
        moving.emplace_back(scheme, *path);
      } else {
        Add(number, scheme->Describe(*scheme, *path), *path);
      }
    }
  }
  for (const auto& [scheme, path] : moving) {
    AddSchemePort(*scheme, path);  // remembered under its new number
  }
}

std::set<std::int32_t> AddedPorts::MachineNumbers() const {
  std::set<std::int32_t> listed;
  std::vector<PortDevice> devices;
  Machine.ListPorts(devices);
  for (const PortDevice& device : devices) {
    listed.insert(ComPortList::PortNumberFromList(device.Name));
  }
  return listed;
}

void AddedPorts::Add(std::int16_t number, std::string description, std::string path) {
  std::erase_if(Ports, [number](const Added& port) { return port.Number == number; });
  Ports.push_back({number, std::move(description), std::move(path)});
  std::sort(Ports.begin(), Ports.end(), [](const Added& a, const Added& b) { return a.Number < b.Number; });
}

std::int16_t AddedPorts::AddUserPort(const std::string& path) {
  const SourceScheme* scheme = SchemeOf(path);
  const std::optional<std::string> spelled = scheme != nullptr ? PathFor(*scheme, path) : std::nullopt;
  if (scheme == nullptr) {
    return Machine.AddUserPort(path);
  }
  return spelled ? AddSchemePort(*scheme, *spelled) : std::int16_t{0};
}

std::int16_t AddedPorts::AddSchemePort(const SourceScheme& scheme, const std::string& path) {
  if (scheme.Number != 0) {
    Add(scheme.Number, scheme.Describe(scheme, path), path);  // the one port of its scheme
    return scheme.Number;
  }
  for (std::int16_t number = kFirstAddedPort; number <= kLastAddedPort; ++number) {
    if (const Added* known = Find(number); known != nullptr && known->Path == path) {
      return number;
    }
  }
  // A number the machine lists itself (a real COM230 on Windows) is not given out.
  const std::set<std::int32_t> listed = MachineNumbers();
  std::int16_t free = 0;
  for (std::int16_t number = kLastAddedPort; number >= kFirstAddedPort; --number) {
    free = Find(number) == nullptr && !listed.contains(number) ? number : free;
  }
  if (free != 0) {
    Add(free, scheme.Describe(scheme, path), path);
    if (scheme.Remembered) {
      SaveRememberedPorts();
    }
  }
  return free;
}

void AddedPorts::SaveRememberedPorts() const {
  if (NetworkFile.empty()) {
    return;
  }
  std::string text = "# The network ports on the port list: COM number = tcp:// or rfc2217://HOST:PORT\n";
  for (const Added& port : Ports) {
    if (const SourceScheme* scheme = SchemeOf(port.Path); scheme != nullptr && scheme->Remembered) {
      text += ComKey(port.Number) + "=" + port.Path + "\n";
    }
  }
  std::error_code error;
  std::filesystem::create_directories(base::Utf8Path(NetworkFile).parent_path(), error);
  base::WriteFileAtomically(NetworkFile, text);
}

const AddedPorts::Added* AddedPorts::Find(std::int16_t number) const {
  const auto found =
      std::find_if(Ports.begin(), Ports.end(), [number](const Added& port) { return port.Number == number; });
  return found == Ports.end() ? nullptr : &*found;
}

std::string AddedPorts::DevicePath(std::int16_t comNumber) const {
  const Added* port = Find(comNumber);
  return port != nullptr ? port->Path : Machine.DevicePath(comNumber);
}

std::optional<ListProblem> AddedPorts::ListPorts(std::vector<PortDevice>& ports) {
  std::optional<ListProblem> problem = Machine.ListPorts(ports);
  if (!problem) {
    for (const Added& port : Ports) {
      ports.push_back({port.Number, port.Path, port.Description + " (" + ComKey(port.Number) + ")"});
    }
  }
  return problem;
}

}  // namespace korvani::ports
