// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/port_router.h"

#include <algorithm>

namespace korvani::ports {

PortRouter::PortRouter(SerialPort& machine, std::vector<SourceMaker> makers, SourceNeeds needs)
    : Machine(machine), Makers(std::move(makers)), Needs(std::move(needs)), Current(&machine) {
  Forward(Machine);
}

void PortRouter::Forward(SerialPort& port) {
  port.SetEventHandler([this, &port](PortEvent event) {
    if (Current == &port) {
      RaiseEvent(event);
    }
  });
}

SerialPort& PortRouter::PortFor(std::int16_t number) {
  const SourceScheme* scheme = Needs.PathOf ? SchemeOf(Needs.PathOf(number)) : nullptr;
  const auto made = std::find_if(Sources.begin(), Sources.end(),
                                 [scheme](const Made& source) { return source.Scheme == scheme; });
  if (scheme == nullptr || made != Sources.end()) {
    return scheme == nullptr ? Machine : *made->Port;
  }
  const auto maker = std::find_if(Makers.begin(), Makers.end(),
                                  [scheme](const SourceMaker& source) { return source.Scheme == scheme; });
  if (maker == Makers.end()) {
    return Machine;  // a scheme this program was built without: the machine's port refuses it
  }
  Sources.push_back({scheme, maker->Make(Needs)});
  SerialPort& port = *Sources.back().Port;
  Forward(port);
  port.SetReadLength(ReadLength);
  return port;
}

void PortRouter::SetPortNumber(std::int16_t number) {
  SerialPort* chosen = &PortFor(number);
  if (chosen != Current) {
    Current->SetOpen(false);  // the port being left is closed, as a change of number does
    Current = chosen;
  }
  ForEach([number](SerialPort& port) { port.SetPortNumber(number); });
}

void PortRouter::SetReadLength(std::int32_t length) {
  ReadLength = length;
  ForEach([length](SerialPort& port) { port.SetReadLength(length); });
}

}  // namespace korvani::ports
