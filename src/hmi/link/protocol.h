// SPDX-License-Identifier: GPL-3.0-or-later
// The protocol between the board and the panel, in one place: its control bytes and the
// builders of every message in both directions. The framer, the screen, the demo board,
// the tests and the benchmarks all use these.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "base/clock.h"

namespace korvani::hmi::link {

// Board to panel: SOH, the command character, the arguments separated by STX, ETX.
inline constexpr char kSoh = '\x01';
inline constexpr char kStx = '\x02';
inline constexpr char kEtx = '\x03';
// Panel to board: every answer ends with EOT; ENQ follows a reply tag; ACK is the connect
// code; BEL starts the clock.
inline constexpr char kEot = '\x04';
inline constexpr char kEnq = '\x05';
inline constexpr char kAck = '\x06';
inline constexpr char kBel = '\x07';

// A message as the board sends it.
std::string BoardMessage(char command, std::initializer_list<std::string_view> arguments = {});

// The connect code: ACK, EOT.
std::string ConnectMessage();
// The PC clock: BEL, ENQ, "YYMMDDHHmmss", the weekday (0 = Monday ... 6 = Sunday), EOT.
std::string ClockMessage(const base::LocalTime& time);
// A soft button fired, and the answer to the board's width command: the text, EOT.
std::string TextMessage(std::string_view text);
// The operator's answer to a number prompt: the board's tag, ENQ, the value, EOT.
std::string EntryAnswer(std::string_view replyTag, std::string_view value);

}  // namespace korvani::hmi::link
