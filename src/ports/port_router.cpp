// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/port_router.h"

namespace korvani::ports {

PortRouter::PortRouter(SerialPort& machine) : Machine(machine), Current(&machine) {
  Machine.SetEventHandler([this](PortEvent event) {
    if (Current == &Machine) {
      RaiseEvent(event);
    }
  });
}

void PortRouter::Route(Owns owns, SerialPort& port) {
  Ranges.push_back({std::move(owns), &port});
  port.SetEventHandler([this, &port](PortEvent event) {
    if (Current == &port) {
      RaiseEvent(event);
    }
  });
}

SerialPort* PortRouter::PortFor(std::int16_t number) const {
  for (const Range& range : Ranges) {
    if (range.Owned(number)) {
      return range.Port;
    }
  }
  return &Machine;
}

void PortRouter::SetPortNumber(std::int16_t number) {
  SerialPort* chosen = PortFor(number);
  if (chosen != Current) {
    Current->SetOpen(false);  // the port being left is closed, as a change of number does
    Current = chosen;
  }
  ForEach([number](SerialPort& port) { port.SetPortNumber(number); });
}

void PortRouter::SetReadLength(std::int32_t length) {
  ForEach([length](SerialPort& port) { port.SetReadLength(length); });
}

}  // namespace korvani::ports
