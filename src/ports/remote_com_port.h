// SPDX-License-Identifier: GPL-3.0-or-later
// A remote serial port: a connection to a Telnet server that speaks the COM-PORT-OPTION, with
// the far port's line of its own. It wraps the connection (a network port the shell makes):
// each open negotiates afresh and sends the line as chosen, so a reconnect brings the far
// port back to it; data is escaped going out and taken out of the stream coming in; DTR, RTS
// and break go to the far port and its modem lines come back.
#pragma once

#include <memory>
#include <string>

#include "base/timer.h"
#include "ports/serial_port.h"
#include "ports/telnet_com_port.h"

namespace korvani::ports {

class RemoteComPort final : public SerialPort, public SerialLine {
 public:
  // `breakTimer` ends a break after its time.
  RemoteComPort(std::unique_ptr<SerialPort> connection, std::unique_ptr<base::Timer> breakTimer);

  void SetPortNumber(std::int16_t number) override { Connection->SetPortNumber(number); }
  [[nodiscard]] std::int16_t PortNumber() const override { return Connection->PortNumber(); }
  [[nodiscard]] SerialLine* Line() override { return this; }
  [[nodiscard]] bool IsOpen() const override { return Connection->IsOpen(); }
  bool SetOpen(bool open) override;
  [[nodiscard]] std::int64_t BytesWaiting() const override { return Connection->BytesWaiting(); }
  [[nodiscard]] std::int64_t Capacity() const override { return Connection->Capacity(); }
  [[nodiscard]] bool MoreArriving() const override { return Connection->MoreArriving(); }
  [[nodiscard]] std::int64_t BytesToWrite() const override { return Connection->BytesToWrite(); }
  void SetReadLength(std::int32_t length) override { Connection->SetReadLength(length); }
  std::string ReadInput() override;
  bool Write(std::string_view data) override { return Connection->Write(telnet::Escape(data)); }
  // The connection's failure, else what the far port would not take.
  [[nodiscard]] std::string LastError() const override;

  void SetLine(const LineSettings& line) override;
  // The far port's: set once the server has agreed to the option (until then the calls say
  // they could not).
  [[nodiscard]] bool HasControlLines() const override { return true; }
  bool SetDtr(bool on) override;
  bool SetRts(bool on) override;
  [[nodiscard]] ControlLines Lines() const override { return Client.Lines(); }
  bool SendBreak(int milliseconds) override;

 private:
  bool Send(const std::string& commands);

  std::unique_ptr<SerialPort> Connection;
  std::unique_ptr<base::Timer> BreakTimer;
  telnet::ComPortClient Client;
  LineSettings Wanted;
};

}  // namespace korvani::ports
