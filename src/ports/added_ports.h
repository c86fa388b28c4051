// SPDX-License-Identifier: GPL-3.0-or-later
// Ports that are not devices of this machine, listed beside its own: each a path of a scheme
// of source_schemes.h ("tcp://HOST:PORT", "replay:FILE", "demo") under a COM number, the
// scheme's own or the lowest free added number; the remembered ones are kept in a file.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ports/device_source.h"
#include "ports/source_schemes.h"

namespace korvani::ports {

class AddedPorts final : public DeviceSource {
 public:
  // `networkFile` remembers the network ports from one start to the next ("" keeps them for
  // this run only); it is read here and written whenever one is added.
  AddedPorts(DeviceSource& machine, std::string networkFile);

  // A port listed as "<description> (COM<number>)" whose device path is `path`.
  void Add(std::int16_t number, std::string description, std::string path);
  // Whether a port was added under the number (else the number is the machine's).
  [[nodiscard]] bool Holds(std::int16_t number) const { return Find(number) != nullptr; }

  // A path of a scheme gets the number it already has, else the scheme's own, else the lowest
  // free added number; anything else is the machine's. 0 when the scheme's parser refuses the
  // address or no number is left.
  std::int16_t AddUserPort(const std::string& path) override;
  [[nodiscard]] std::string DevicePath(std::int16_t comNumber) const override;
  // The machine's ports, then the added ones.
  std::optional<ListProblem> ListPorts(std::vector<PortDevice>& ports) override;

 private:
  struct Added {
    std::int16_t Number;
    std::string Description;
    std::string Path;
  };
  [[nodiscard]] const Added* Find(std::int16_t number) const;
  std::int16_t AddSchemePort(const SourceScheme& scheme, const std::string& path);
  // The COM numbers the machine lists now.
  [[nodiscard]] std::set<std::int32_t> MachineNumbers() const;
  void SaveRememberedPorts() const;

  DeviceSource& Machine;
  std::string NetworkFile;
  std::vector<Added> Ports;  // in COM number order
};

}  // namespace korvani::ports
