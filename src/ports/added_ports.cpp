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

constexpr std::string_view kNetworkDescription = "Network port ";
constexpr std::string_view kReplayDescription = "Replay of ";

bool IsHostCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_';
}

// The text in double quotes, for a reason that names what was typed.
std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  quoted.append(text).append("\"");
  return quoted;
}

std::string ComKey(std::int16_t number) {
  return "COM" + std::to_string(number);
}

}  // namespace

std::string NetworkAddress::Text() const {
  const bool ipv6 = Host.find(':') != std::string::npos;
  return std::string(kNetworkScheme) + (ipv6 ? "[" + Host + "]" : Host) + ":" + std::to_string(Port);
}

std::optional<NetworkAddress> ParseNetworkAddress(std::string_view text, std::string& why) {
  std::string_view rest = base::TrimBlanks(text);
  if (rest.substr(0, kNetworkScheme.size()) == kNetworkScheme) {
    rest.remove_prefix(kNetworkScheme.size());
  } else if (rest.find("://") != std::string_view::npos) {
    why = "only tcp:// addresses are network ports";
    return std::nullopt;
  }
  if (!rest.empty() && rest.back() == '/') {
    rest.remove_suffix(1);
  }
  NetworkAddress address;
  std::string_view port;
  if (!rest.empty() && rest.front() == '[') {
    const std::size_t close = rest.find(']');
    if (close == std::string_view::npos || close + 1 >= rest.size() || rest[close + 1] != ':') {
      why = "an IPv6 address is written [address]:port";
      return std::nullopt;
    }
    address.Host = std::string(rest.substr(1, close - 1));
    port = rest.substr(close + 2);
    const bool ipv6Text =
        !address.Host.empty() && std::all_of(address.Host.begin(), address.Host.end(), [](char c) {
          return c == ':' || c == '.' || base::HexDigitValue(c) >= 0;
        });
    if (!ipv6Text) {
      why = Quoted(address.Host) + " is not an IPv6 address";
      return std::nullopt;
    }
  } else {
    const std::size_t colon = rest.rfind(':');
    if (colon == std::string_view::npos) {
      why = "the address needs a port number: tcp://HOST:PORT";
      return std::nullopt;
    }
    address.Host = std::string(rest.substr(0, colon));
    port = rest.substr(colon + 1);
    if (address.Host.empty() || !std::all_of(address.Host.begin(), address.Host.end(), IsHostCharacter)) {
      why = address.Host.empty() ? "the address needs a host: tcp://HOST:PORT"
                                 : Quoted(address.Host) + " is not a host name or address";
      return std::nullopt;
    }
  }
  int number = 0;
  const bool digits = !port.empty() && port.size() <= 5 &&
                      std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (digits) {
    for (const char c : port) {
      number = number * 10 + (c - '0');
    }
  }
  if (!digits || number < 1 || number > 65535) {
    why = Quoted(port) + " is not a port number (1 to 65535)";
    return std::nullopt;
  }
  address.Port = static_cast<std::uint16_t>(number);
  return address;
}

AddedPorts::AddedPorts(DeviceSource& machine, std::string networkFile)
    : Machine(machine), NetworkFile(std::move(networkFile)) {
  if (NetworkFile.empty()) {
    return;
  }
  // A remembered number that the machine now lists itself (a real COM230 on Windows) stays
  // the machine's; the network port moves to a free number.
  const std::set<std::int32_t> listed = MachineNumbers();
  std::vector<NetworkAddress> moving;
  for (const auto& [key, value] : base::ReadKeyValueLines(base::ReadWholeFile(NetworkFile))) {
    std::string why;
    const std::optional<NetworkAddress> address = ParseNetworkAddress(value, why);
    for (std::int16_t number = kFirstNetworkPort; address && number <= kLastNetworkPort; ++number) {
      if (key != ComKey(number) || Find(number) != nullptr) {
        continue;
      }
      if (listed.contains(number)) {
        moving.push_back(*address);
      } else {
        Add(number, std::string(kNetworkDescription) + address->Text(), address->Text());
      }
    }
  }
  for (const NetworkAddress& address : moving) {
    AddNetworkPort(address);  // remembered under its new number
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
  if (path.rfind(kReplayScheme, 0) == 0) {
    const auto nameStart = std::find_if(path.rbegin(), path.rend(), base::IsPathSeparator).base();
    const std::string name(
        std::max(nameStart, path.begin() + static_cast<std::ptrdiff_t>(kReplayScheme.size())), path.end());
    Add(kReplayPortNumber, std::string(kReplayDescription) + name, path);
    return kReplayPortNumber;
  }
  if (path.rfind(kNetworkScheme, 0) == 0) {
    std::string why;
    const std::optional<NetworkAddress> address = ParseNetworkAddress(path, why);
    return address ? AddNetworkPort(*address) : std::int16_t{0};
  }
  return Machine.AddUserPort(path);
}

std::int16_t AddedPorts::AddNetworkPort(const NetworkAddress& address) {
  const std::string text = address.Text();
  for (std::int16_t number = kFirstNetworkPort; number <= kLastNetworkPort; ++number) {
    if (const Added* known = Find(number); known != nullptr && known->Path == text) {
      return number;
    }
  }
  // A number the machine lists itself (a real COM230 on Windows) is not given out.
  const std::set<std::int32_t> listed = MachineNumbers();
  std::int16_t free = 0;
  for (std::int16_t number = kLastNetworkPort; number >= kFirstNetworkPort; --number) {
    free = Find(number) == nullptr && !listed.contains(number) ? number : free;
  }
  if (free != 0) {
    Add(free, std::string(kNetworkDescription) + text, text);
    SaveNetworkPorts();
  }
  return free;
}

void AddedPorts::SaveNetworkPorts() const {
  if (NetworkFile.empty()) {
    return;
  }
  std::string text = "# The network ports on the port list: COM number = tcp://HOST:PORT\n";
  for (const Added& port : Ports) {
    if (port.Number >= kFirstNetworkPort && port.Number <= kLastNetworkPort) {
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
