// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/source_schemes.h"

#include <algorithm>
#include <array>

#include "base/files.h"
#include "base/text.h"

namespace korvani::ports {

namespace {

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

std::optional<std::string> NetworkPath(std::string_view typed, std::string& why) {
  const std::optional<NetworkAddress> address = ParseNetworkAddress(typed, why);
  return address ? std::optional<std::string>(address->Text()) : std::nullopt;
}

std::optional<std::string> AsTyped(std::string_view typed, std::string& /*why*/) {
  return std::string(typed);
}

std::string DescribeAddress(const SourceScheme& scheme, std::string_view path) {
  return std::string(scheme.Description) + std::string(path);
}

// A recording by its file name alone.
std::string DescribeFile(const SourceScheme& scheme, std::string_view path) {
  path.remove_prefix(std::min(path.size(), scheme.Prefix.size()));
  const auto nameStart = std::find_if(path.rbegin(), path.rend(), base::IsPathSeparator).base();
  return std::string(scheme.Description) + std::string(nameStart, path.end());
}

std::string DescribeAlone(const SourceScheme& scheme, std::string_view /*path*/) {
  return std::string(scheme.Description);
}

constexpr std::array<SourceScheme, 4> kSchemes = {{
    {.Prefix = kNetworkScheme,
     .Description = "Network port ",
     .Remembered = true,
     .Parse = NetworkPath,
     .Describe = DescribeAddress},
    {.Prefix = kRemoteSerialScheme,
     .Description = "Remote serial port ",
     .LineSettings = true,
     .ControlLines = true,
     .Remembered = true,
     .Parse = NetworkPath,
     .Describe = DescribeAddress},
    {.Prefix = kReplayScheme,
     .Description = "Replay of ",
     .Number = kReplayPortNumber,
     .Parse = AsTyped,
     .Describe = DescribeFile},
    // The board takes the line's settings and needs none of them.
    {.Prefix = kDemoScheme,
     .Description = kDemoDescription,
     .LineSettings = true,
     .Number = kDemoPortNumber,
     .Parse = AsTyped,
     .Describe = DescribeAlone},
}};

}  // namespace

std::string NetworkAddress::Text() const {
  const bool ipv6 = Host.find(':') != std::string::npos;
  return std::string(Scheme) + (ipv6 ? "[" + Host + "]" : Host) + ":" + std::to_string(Port);
}

std::optional<NetworkAddress> ParseNetworkAddress(std::string_view text, std::string& why) {
  std::string_view rest = base::TrimBlanks(text);
  NetworkAddress address;
  if (rest.substr(0, kNetworkScheme.size()) == kNetworkScheme) {
    rest.remove_prefix(kNetworkScheme.size());
  } else if (rest.substr(0, kRemoteSerialScheme.size()) == kRemoteSerialScheme) {
    rest.remove_prefix(kRemoteSerialScheme.size());
    address.Scheme = kRemoteSerialScheme;
  } else if (rest.find("://") != std::string_view::npos) {
    why = "only tcp:// and rfc2217:// addresses are network ports";
    return std::nullopt;
  }
  const std::string form = std::string(address.Scheme) + "HOST:PORT";
  if (!rest.empty() && rest.back() == '/') {
    rest.remove_suffix(1);
  }
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
      why = "the address needs a port number: " + form;
      return std::nullopt;
    }
    address.Host = std::string(rest.substr(0, colon));
    port = rest.substr(colon + 1);
    if (address.Host.empty() || !std::all_of(address.Host.begin(), address.Host.end(), IsHostCharacter)) {
      why = address.Host.empty() ? "the address needs a host: " + form
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

std::span<const SourceScheme> SourceSchemes() {
  return kSchemes;
}

const SourceScheme* SchemeOf(std::string_view path) {
  const auto found = std::find_if(kSchemes.begin(), kSchemes.end(), [path](const SourceScheme& scheme) {
    return path.starts_with(scheme.Prefix);
  });
  return found == kSchemes.end() ? nullptr : &*found;
}

const SourceScheme* SchemeByPrefix(std::string_view prefix) {
  const auto found = std::find_if(kSchemes.begin(), kSchemes.end(),
                                  [prefix](const SourceScheme& scheme) { return scheme.Prefix == prefix; });
  return found == kSchemes.end() ? nullptr : &*found;
}

}  // namespace korvani::ports
