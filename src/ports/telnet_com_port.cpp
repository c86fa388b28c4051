// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/telnet_com_port.h"

namespace korvani::ports::telnet {

namespace {

// A subnegotiation longer than any COM-PORT answer is cut here: a hostile server cannot make
// the client hold more.
constexpr std::size_t kMostSubnegotiation = 64;
// Commands kept for a server that has not agreed yet, at most.
constexpr std::size_t kMostWaiting = 1024;

bool Supported(unsigned char option) {
  return option == kBinary || option == kSuppressGoAhead || option == kComPortOption;
}

unsigned char ParityCode(char parity) {
  switch (parity) {
    case 'O':
      return 2;
    case 'E':
      return 3;
    case 'M':
      return 4;
    case 'S':
      return 5;
    default:
      return 1;
  }
}

unsigned char StopCode(const std::string& stopBits) {
  if (stopBits == "2") {
    return 2;
  }
  return stopBits == "1.5" ? 3 : 1;
}

unsigned char FlowCode(FlowControl flow) {
  switch (flow) {
    case FlowControl::XonXoff:
      return kFlowXonXoff;
    case FlowControl::RtsCts:
      return kFlowHardware;
    case FlowControl::None:
      break;
  }
  return kFlowNone;
}

std::string Byte(unsigned char value) {
  return std::string(1, static_cast<char>(value));
}

std::string BigEndian(std::uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 3; i >= 0; --i) {
    bytes[static_cast<std::size_t>(i)] = static_cast<char>(value & 0xFFU);
    value >>= 8U;
  }
  return bytes;
}

}  // namespace

std::string Decoder::Take(std::string_view bytes, std::vector<Event>& events) {
  std::string data;
  data.reserve(bytes.size());
  for (const char byte : bytes) {
    const auto c = static_cast<unsigned char>(byte);
    switch (At) {
      case State::Data:
        if (c == kIac) {
          At = State::Iac;
        } else {
          data += byte;
        }
        break;
      case State::Iac:
        if (c == kIac) {
          data += byte;
          At = State::Data;
        } else if (c == kWill || c == kWont || c == kDo || c == kDont) {
          Verb = c;
          At = State::Verb;
        } else if (c == kSb) {
          Sub.clear();
          At = State::Sub;
        } else {
          At = State::Data;  // NOP, GA and the rest carry nothing for a serial line
        }
        break;
      case State::Verb: {
        const Event::Kind kind = Verb == kWill   ? Event::Kind::Will
                                 : Verb == kWont ? Event::Kind::Wont
                                 : Verb == kDo   ? Event::Kind::Do
                                                 : Event::Kind::Dont;
        events.push_back({kind, c, {}});
        At = State::Data;
        break;
      }
      case State::Sub:
        if (c == kIac) {
          At = State::SubIac;
        } else if (Sub.size() < kMostSubnegotiation) {
          Sub += byte;
        }
        break;
      case State::SubIac:
        if (c == kIac) {
          if (Sub.size() < kMostSubnegotiation) {
            Sub += byte;
          }
          At = State::Sub;
          break;
        }
        // IAC SE ends it; any other command after IAC ends it too (a broken server).
        if (c == kSe && Sub.size() >= 2 && static_cast<unsigned char>(Sub[0]) == kComPortOption) {
          events.push_back({Event::Kind::ComPort, static_cast<unsigned char>(Sub[1]), Sub.substr(2)});
        }
        Sub.clear();
        At = State::Data;
        break;
    }
  }
  return data;
}

std::string Escape(std::string_view data) {
  std::string escaped;
  escaped.reserve(data.size());
  for (const char byte : data) {
    escaped += byte;
    if (static_cast<unsigned char>(byte) == kIac) {
      escaped += byte;
    }
  }
  return escaped;
}

std::string Negotiation(unsigned char verb, unsigned char option) {
  return Byte(kIac) + Byte(verb) + Byte(option);
}

std::string ComPort(unsigned char command, std::string_view value) {
  return Byte(kIac) + Byte(kSb) + Byte(kComPortOption) + Byte(command) + Escape(value) + Byte(kIac) +
         Byte(kSe);
}

std::string ComPortClient::Start() {
  Agreed = false;
  return Negotiation(kWill, kBinary) + Negotiation(kDo, kBinary) + Negotiation(kWill, kSuppressGoAhead) +
         Negotiation(kDo, kSuppressGoAhead) + Negotiation(kWill, kComPortOption);
}

std::string ComPortClient::Receive(std::string_view bytes, std::string& reply) {
  std::vector<Event> events;
  std::string data = Incoming.Take(bytes, events);
  for (const Event& event : events) {
    if (event.What == Event::Kind::ComPort) {
      Heard(event);
    } else {
      Answer(event, reply);
    }
  }
  return data;
}

// What the client wants it offered at the start, so the server's agreement needs no answer;
// the only replies are refusals of what it does not want, which a server does not answer:
// the two sides never answer each other for ever.
void ComPortClient::Answer(const Event& event, std::string& reply) {
  const unsigned char option = event.Option;
  switch (event.What) {
    case Event::Kind::Do:
      if (!Supported(option)) {
        reply += Negotiation(kWont, option);
      } else if (option == kComPortOption && !Agreed) {
        Agreed = true;
        reply += Waiting;  // what was asked for before
        Waiting.clear();
      }
      break;
    case Event::Kind::Dont:
      if (option == kComPortOption) {
        Agreed = false;
      }
      break;
    case Event::Kind::Will:
      if (option != kBinary && option != kSuppressGoAhead) {
        reply += Negotiation(kDont, option);  // no echo, nothing else: a serial line's bytes
      }
      break;
    case Event::Kind::Wont:
    case Event::Kind::ComPort:
      break;
  }
}

void ComPortClient::Heard(const Event& event) {
  const auto& value = event.Value;
  const auto first = value.empty() ? 0 : static_cast<unsigned char>(value[0]);
  const auto mismatch = [this](const std::string& what) { Refused = "the far port did not take " + what; };
  switch (static_cast<int>(event.Option) - kServerOffset) {
    case kSetBaudRate:
      if (value.size() == 4) {
        Baud = 0;
        for (const char byte : value) {
          Baud = (Baud << 8U) | static_cast<unsigned char>(byte);
        }
        if (Asked && Baud != static_cast<std::uint32_t>(Asked->Baud)) {
          mismatch(std::to_string(Asked->Baud) + " baud: it runs at " + std::to_string(Baud));
        }
      }
      break;
    case kSetDataSize:
      if (Asked && !value.empty() && first != Asked->DataBits) {
        mismatch(std::to_string(Asked->DataBits) + " data bits");
      }
      break;
    case kSetParity:
      if (Asked && !value.empty() && first != ParityCode(Asked->Parity)) {
        mismatch(std::string("parity ") + Asked->Parity);
      }
      break;
    case kSetStopSize:
      if (Asked && !value.empty() && first != StopCode(Asked->StopBits)) {
        mismatch(Asked->StopBits + " stop bits");
      }
      break;
    case kNotifyModemState:
      if (!value.empty()) {
        Modem.Cts = (first & 0x10U) != 0;
        Modem.Dsr = (first & 0x20U) != 0;
        Modem.Ri = (first & 0x40U) != 0;
        Modem.Dcd = (first & 0x80U) != 0;
      }
      break;
    default:
      break;
  }
}

std::string ComPortClient::Send(std::string commands) {
  if (Agreed) {
    return commands;
  }
  if (Waiting.size() + commands.size() <= kMostWaiting) {
    Waiting += commands;
  }
  return {};
}

std::string ComPortClient::SetLine(const LineSettings& line) {
  Asked = line;
  Refused.clear();
  return Send(ComPort(kSetBaudRate, BigEndian(static_cast<std::uint32_t>(line.Baud))) +
              ComPort(kSetDataSize, Byte(static_cast<unsigned char>(line.DataBits))) +
              ComPort(kSetParity, Byte(ParityCode(line.Parity))) +
              ComPort(kSetStopSize, Byte(StopCode(line.StopBits))) +
              ComPort(kSetControl, Byte(FlowCode(line.Flow))));
}

std::string ComPortClient::SetDtr(bool on) {
  Modem.Dtr = on;
  return Send(ComPort(kSetControl, Byte(on ? kDtrOn : kDtrOff)));
}

std::string ComPortClient::SetRts(bool on) {
  Modem.Rts = on;
  return Send(ComPort(kSetControl, Byte(on ? kRtsOn : kRtsOff)));
}

std::string ComPortClient::Break(bool on) {
  return Send(ComPort(kSetControl, Byte(on ? kBreakOn : kBreakOff)));
}

std::string ComPortClient::Purge() {
  return Send(ComPort(kPurgeData, Byte(3)));
}

}  // namespace korvani::ports::telnet
