// SPDX-License-Identifier: GPL-3.0-or-later
// The kinds of source a port's path may name besides the machine's own devices, each in one
// row: how its paths begin, how a typed address is read, what the port list calls it, its
// COM number, and what it can do. The port list, the command line and each session's router
// go by this table; the shell gives each scheme its factory (a `SourceMaker`).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "ports/serial_port.h"

namespace korvani::ports {

// The added ports' COM numbers: schemes with no number of their own share them, the lowest
// free first. Devices named by path have 200-219 (device_source.h); 254 and 255 are the
// replay's and the demo's, numbers the settings files already hold.
inline constexpr std::int16_t kFirstAddedPort = 220;
inline constexpr std::int16_t kLastAddedPort = 253;

inline constexpr std::string_view kNetworkScheme = "tcp://";
// A remote serial port behind a Telnet server with the COM-PORT-OPTION (RFC 2217).
inline constexpr std::string_view kRemoteSerialScheme = "rfc2217://";
inline constexpr std::string_view kReplayScheme = "replay:";
inline constexpr std::string_view kDemoScheme = "demo";
inline constexpr std::int16_t kReplayPortNumber = 254;
inline constexpr std::int16_t kDemoPortNumber = 255;  // the highest the port list shows
inline constexpr std::string_view kDemoDescription = "Vexel demo board";

// A TCP server's address as the user gave it.
struct NetworkAddress {
  std::string_view Scheme = kNetworkScheme;  // tcp:// or rfc2217://
  std::string Host;  // a name, an IPv4 address, or an IPv6 address without its brackets
  std::uint16_t Port = 0;
  // "tcp://HOST:PORT" (or "rfc2217://..."), the IPv6 address in brackets.
  [[nodiscard]] std::string Text() const;
};

// "tcp://HOST:PORT" (the scheme may be left out) or "rfc2217://HOST:PORT"; nothing, with the
// reason in `why`, when the text is not one.
std::optional<NetworkAddress> ParseNetworkAddress(std::string_view text, std::string& why);

struct SourceScheme {
  std::string_view Prefix;       // how its paths begin: "tcp://", "replay:", "demo"
  std::string_view Description;  // the port list's words before the address
  bool LineSettings = false;     // the chosen speed and format reach a line
  bool ControlLines = false;     // DTR, RTS, break and the input lines
  bool Remembered = false;       // kept in NetworkPorts.ini from one start to the next
  std::int16_t Number = 0;       // a COM number of its own; 0: the lowest free added number
  // The path in its one spelling for what was typed; nothing, with the reason in `why`.
  std::optional<std::string> (*Parse)(std::string_view typed, std::string& why) = nullptr;
  // What the port list calls a path: the description and what follows it.
  std::string (*Describe)(const SourceScheme& scheme, std::string_view path) = nullptr;
};

// Every scheme this program knows, in the order they are told apart.
std::span<const SourceScheme> SourceSchemes();
// The scheme a path names; null for a device of the machine.
const SourceScheme* SchemeOf(std::string_view path);
// The scheme by its prefix ("tcp://"); null when none has it.
const SourceScheme* SchemeByPrefix(std::string_view prefix);

// What a session tells a source it makes.
struct SourceNeeds {
  std::function<std::string(std::int16_t number)> PathOf = {};  // the path listed under a COM number
  std::function<bool()> PanelWritesLogs = {};                   // the board's disk logs are the panel's
};

// How the shell makes one scheme's source for a session (each session has its own).
struct SourceMaker {
  const SourceScheme* Scheme = nullptr;
  std::function<std::unique_ptr<SerialPort>(const SourceNeeds& needs)> Make;
};

}  // namespace korvani::ports
