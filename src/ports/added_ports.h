// SPDX-License-Identifier: GPL-3.0-or-later
// Ports that are not devices of this machine, listed beside its own: the demo board, boards
// behind a serial-to-network bridge, and a recorded session played back. Each has a COM
// number of its own range and a path that the port which opens it understands:
//   "demo", "tcp://HOST:PORT" (COM220-253, remembered in a file), "replay:FILE" (COM254).
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ports/device_source.h"

namespace korvani::ports {

inline constexpr std::int16_t kFirstNetworkPort = 220;
inline constexpr std::int16_t kLastNetworkPort = 253;
inline constexpr std::int16_t kReplayPortNumber = 254;
inline constexpr std::string_view kNetworkScheme = "tcp://";
inline constexpr std::string_view kReplayScheme = "replay:";

// A TCP server's address as the user gave it.
struct NetworkAddress {
  std::string Host;  // a name, an IPv4 address, or an IPv6 address without its brackets
  std::uint16_t Port = 0;
  // "tcp://HOST:PORT", the IPv6 address in brackets.
  [[nodiscard]] std::string Text() const;
};

// "tcp://HOST:PORT" (the scheme may be left out); nothing, with the reason in `why`, when the
// text is not one.
std::optional<NetworkAddress> ParseNetworkAddress(std::string_view text, std::string& why);

class AddedPorts final : public DeviceSource {
 public:
  // `networkFile` remembers the network ports from one start to the next ("" keeps them for
  // this run only); it is read here and written whenever one is added.
  AddedPorts(DeviceSource& machine, std::string networkFile);

  // A port listed as "<description> (COM<number>)" whose device path is `path`.
  void Add(std::int16_t number, std::string description, std::string path);
  // Whether a port was added under the number (else the number is the machine's).
  [[nodiscard]] bool Holds(std::int16_t number) const { return Find(number) != nullptr; }

  // A network address ("tcp://...") gets the next network number, or the one it already has;
  // a recording ("replay:FILE") the replay number; anything else is the machine's. 0 when
  // the address is not one or no network number is left.
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
  std::int16_t AddNetworkPort(const NetworkAddress& address);
  // The COM numbers the machine lists now.
  [[nodiscard]] std::set<std::int32_t> MachineNumbers() const;
  void SaveNetworkPorts() const;

  DeviceSource& Machine;
  std::string NetworkFile;
  std::vector<Added> Ports;  // in COM number order
};

}  // namespace korvani::ports
