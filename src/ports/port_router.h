// SPDX-License-Identifier: GPL-3.0-or-later
// One port for the panel that is, by the COM number chosen, one of several sources of bytes:
// the machine's serial port unless the number belongs to another (the demo board, a network
// port, a replayed recording). Changing to another source closes the one left.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "ports/serial_port.h"

namespace korvani::ports {

class PortRouter final : public SerialPort {
 public:
  explicit PortRouter(SerialPort& machine);

  // The numbers `owns` answers true for are `port`'s, asked whenever a number is chosen (so
  // a number is the machine's until something was added under it). Route every port before
  // the router is used.
  using Owns = std::function<bool(std::int16_t number)>;
  void Route(Owns owns, SerialPort& port);

  void SetPortNumber(std::int16_t number) override;
  [[nodiscard]] std::int16_t PortNumber() const override { return Active().PortNumber(); }
  [[nodiscard]] SerialLine* Line() override { return Active().Line(); }
  [[nodiscard]] bool IsOpen() const override { return Active().IsOpen(); }
  bool SetOpen(bool open) override { return Active().SetOpen(open); }
  [[nodiscard]] std::int64_t BytesWaiting() const override { return Active().BytesWaiting(); }
  [[nodiscard]] std::int64_t Capacity() const override { return Active().Capacity(); }
  void SetReadLength(std::int32_t length) override;
  std::string ReadInput() override { return Active().ReadInput(); }
  bool Write(std::string_view data) override { return Active().Write(data); }
  [[nodiscard]] std::string LastError() const override { return Active().LastError(); }
  [[nodiscard]] std::int64_t BytesToWrite() const override { return Active().BytesToWrite(); }
  [[nodiscard]] bool MoreArriving() const override { return Active().MoreArriving(); }
  [[nodiscard]] std::int64_t ArrivedAt(std::int64_t nowUs) const override {
    return Active().ArrivedAt(nowUs);
  }

 private:
  struct Range {
    Owns Owned;
    SerialPort* Port;
  };
  [[nodiscard]] SerialPort& Active() const { return *Current; }
  [[nodiscard]] SerialPort* PortFor(std::int16_t number) const;
  template <typename Apply>
  void ForEach(Apply apply) {
    apply(Machine);
    for (const Range& range : Ranges) {
      apply(*range.Port);
    }
  }

  SerialPort& Machine;
  std::vector<Range> Ranges;
  SerialPort* Current;
};

}  // namespace korvani::ports
