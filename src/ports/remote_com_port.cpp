// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/remote_com_port.h"

#include <algorithm>

namespace korvani::ports {

RemoteComPort::RemoteComPort(std::unique_ptr<SerialPort> connection, std::unique_ptr<base::Timer> breakTimer)
    : Connection(std::move(connection)), BreakTimer(std::move(breakTimer)) {
  Connection->SetEventHandler([this](PortEvent event) { RaiseEvent(event); });
  BreakTimer->SetTickHandler([this] {
    BreakTimer->SetEnabled(false);
    Send(Client.Break(false));
  });
}

bool RemoteComPort::SetOpen(bool open) {
  if (!open) {
    BreakTimer->SetEnabled(false);
    return Connection->SetOpen(false);
  }
  if (IsOpen()) {
    return true;
  }
  if (!Connection->SetOpen(true)) {
    return false;
  }
  Client = telnet::ComPortClient();  // a new connection negotiates afresh
  const std::string opening = Client.Start();
  // Held by the client until the server agrees, then sent with its answer.
  Client.SetLine(Wanted);
  Client.SetDtr(Wanted.DtrOnOpen);
  Client.SetRts(Wanted.RtsOnOpen);
  Connection->Write(opening);  // a connection under way sends it once made
  return true;
}

std::string RemoteComPort::ReadInput() {
  const std::string refusedBefore = Client.Refusal();
  std::string reply;
  std::string data = Client.Receive(Connection->ReadInput(), reply);
  if (!reply.empty()) {
    Connection->Write(reply);
  }
  if (!Client.Refusal().empty() && Client.Refusal() != refusedBefore) {
    RaiseEvent(PortEvent::LineChanged);  // the window says it now, as a local port's refusal
  }
  return data;
}

std::string RemoteComPort::LastError() const {
  const std::string failure = Connection->LastError();
  return failure.empty() ? Client.Refusal() : failure;
}

bool RemoteComPort::Send(const std::string& commands) {
  return commands.empty() || Connection->Write(commands);
}

void RemoteComPort::SetLine(const LineSettings& line) {
  Wanted = line;
  if (IsOpen()) {
    Send(Client.SetLine(line));
  }
}

bool RemoteComPort::SetDtr(bool on) {
  return IsOpen() && Client.ComPortAgreed() && Send(Client.SetDtr(on));
}

bool RemoteComPort::SetRts(bool on) {
  return IsOpen() && Client.ComPortAgreed() && Send(Client.SetRts(on));
}

bool RemoteComPort::SendBreak(int milliseconds) {
  if (!IsOpen() || !Client.ComPortAgreed() || !Send(Client.Break(true))) {
    return false;
  }
  BreakTimer->SetInterval(std::max(milliseconds, 1));
  BreakTimer->SetEnabled(true);
  return true;
}

}  // namespace korvani::ports
