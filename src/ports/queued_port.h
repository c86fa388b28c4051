// SPDX-License-Identifier: GPL-3.0-or-later
// A port whose bytes are made inside the program (the demo board, a replayed recording):
// what it has to deliver waits in a queue and is read from there. It keeps the number it is
// given; opening, writing and the rest are its own.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "ports/serial_port.h"

namespace korvani::ports {

class QueuedPort : public SerialPort {
 public:
  void SetPortNumber(std::int16_t number) override { Number = number; }
  [[nodiscard]] std::int16_t PortNumber() const override { return Number; }
  [[nodiscard]] std::int64_t BytesWaiting() const override {
    return static_cast<std::int64_t>(Waiting.size());
  }
  void SetReadLength(std::int32_t length) override { ReadLength = length; }
  std::string ReadInput() override {
    const std::size_t take =
        ReadLength > 0 ? std::min(Waiting.size(), static_cast<std::size_t>(ReadLength)) : Waiting.size();
    std::string read = Waiting.substr(0, take);
    Waiting.erase(0, take);
    return read;
  }

 protected:
  std::string Waiting;  // made, not yet read
  std::int16_t Number = 0;

 private:
  std::int32_t ReadLength = 0;
};

}  // namespace korvani::ports
