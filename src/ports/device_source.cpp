// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/device_source.h"

namespace korvani::ports {

std::int16_t UserPorts::Add(const std::string& path, const std::set<std::int16_t>& machineNumbers) {
  for (const auto& [number, known] : Paths) {
    if (known == path) {
      return number;
    }
  }
  for (std::int16_t number = kFirstUserPort; number <= kLastUserPort; ++number) {
    if (!machineNumbers.contains(number) && !Paths.contains(number)) {
      Paths.emplace(number, path);
      return number;
    }
  }
  return 0;  // every number is taken: the device cannot be listed
}

std::string UserPorts::PathOf(std::int16_t number) const {
  const auto found = Paths.find(number);
  return found == Paths.end() ? std::string() : found->second;
}

void UserPorts::AppendTo(std::vector<PortDevice>& ports) const {
  for (const auto& [number, path] : Paths) {
    ports.push_back({number, path, "Serial device " + path + " (COM" + std::to_string(number) + ")"});
  }
}

}  // namespace korvani::ports
