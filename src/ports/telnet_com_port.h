// SPDX-License-Identifier: GPL-3.0-or-later
// A remote serial port's line over Telnet: the byte codec (IAC escaping, option negotiation,
// subnegotiations) and the client side of the COM-PORT-OPTION (RFC 2217) that sets the far
// port's speed, format, flow control, DTR, RTS and break and hears its modem lines. Qt-free:
// a network port feeds it what the server sent and writes what it returns.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/line_settings.h"
#include "ports/serial_port.h"

namespace korvani::ports::telnet {

inline constexpr unsigned char kIac = 255;
inline constexpr unsigned char kDont = 254;
inline constexpr unsigned char kDo = 253;
inline constexpr unsigned char kWont = 252;
inline constexpr unsigned char kWill = 251;
inline constexpr unsigned char kSb = 250;
inline constexpr unsigned char kSe = 240;

inline constexpr unsigned char kBinary = 0;
inline constexpr unsigned char kSuppressGoAhead = 3;
inline constexpr unsigned char kComPortOption = 44;

// The COM-PORT-OPTION's commands as the client sends them; the server answers each with the
// same value plus kServerOffset.
inline constexpr unsigned char kSetBaudRate = 1;
inline constexpr unsigned char kSetDataSize = 2;
inline constexpr unsigned char kSetParity = 3;
inline constexpr unsigned char kSetStopSize = 4;
inline constexpr unsigned char kSetControl = 5;
inline constexpr unsigned char kNotifyLineState = 6;
inline constexpr unsigned char kNotifyModemState = 7;
inline constexpr unsigned char kSetLineStateMask = 10;
inline constexpr unsigned char kSetModemStateMask = 11;
inline constexpr unsigned char kPurgeData = 12;
inline constexpr unsigned char kServerOffset = 100;

// SET-CONTROL's values used here.
inline constexpr unsigned char kFlowNone = 1;
inline constexpr unsigned char kFlowXonXoff = 2;
inline constexpr unsigned char kFlowHardware = 3;
inline constexpr unsigned char kBreakOn = 5;
inline constexpr unsigned char kBreakOff = 6;
inline constexpr unsigned char kDtrOn = 8;
inline constexpr unsigned char kDtrOff = 9;
inline constexpr unsigned char kRtsOn = 11;
inline constexpr unsigned char kRtsOff = 12;

// What the server said besides data.
struct Event {
  enum class Kind { Will, Wont, Do, Dont, ComPort };
  Kind What = Kind::Will;
  unsigned char Option = 0;  // the option negotiated, or the COM-PORT command for ComPort
  std::string Value;         // a ComPort answer's value bytes, unescaped
  bool operator==(const Event&) const = default;
};

// The server's stream taken apart, a chunk at a time (a command may be split anywhere).
class Decoder {
 public:
  // The data bytes of the chunk (IAC IAC as one 255); the rest goes to `events`.
  std::string Take(std::string_view bytes, std::vector<Event>& events);

 private:
  enum class State { Data, Iac, Verb, Sub, SubIac };
  State At = State::Data;
  unsigned char Verb = 0;
  std::string Sub;  // a subnegotiation being read, its option first
};

// Data for the server: every 255 doubled.
std::string Escape(std::string_view data);
// IAC verb option.
std::string Negotiation(unsigned char verb, unsigned char option);
// IAC SB COM-PORT-OPTION command value IAC SE, the value escaped.
std::string ComPort(unsigned char command, std::string_view value);

// The client: what it asks for at the start, how it answers the server's negotiation, and the
// line it asks the far port for. It says what it will send; the caller writes it.
class ComPortClient {
 public:
  // What opens the session: binary both ways, no go-ahead, and the COM-PORT-OPTION offered.
  [[nodiscard]] std::string Start();
  // The server's bytes: the data for the session, with what answers the server appended to
  // `reply`.
  std::string Receive(std::string_view bytes, std::string& reply);
  // The whole line for the far port, and the DTR and RTS lines as they are to be: the
  // commands to send (sent when the server has agreed to the option, else kept until then).
  std::string SetLine(const LineSettings& line);
  std::string SetDtr(bool on);
  std::string SetRts(bool on);
  std::string Break(bool on);
  std::string Purge();

  [[nodiscard]] bool ComPortAgreed() const { return Agreed; }
  // The modem lines the server last told (CTS, DSR, RI, DCD), with DTR and RTS as asked.
  [[nodiscard]] const ControlLines& Lines() const { return Modem; }
  // The speed the server said it set, 0 until it answered.
  [[nodiscard]] std::uint32_t BaudAnswered() const { return Baud; }
  // Why the far port has not the line asked for ("" when it has or has not answered yet):
  // a speed, data size, parity or stop size answered with another value.
  [[nodiscard]] const std::string& Refusal() const { return Refused; }

 private:
  void Answer(const Event& event, std::string& reply);
  void Heard(const Event& event);
  std::string Send(std::string commands);

  Decoder Incoming;
  bool Agreed = false;
  std::string Waiting;  // commands asked for before the server agreed
  std::optional<LineSettings> Asked;
  ControlLines Modem;
  std::uint32_t Baud = 0;
  std::string Refused;
};

}  // namespace korvani::ports::telnet
