// SPDX-License-Identifier: GPL-3.0-or-later
// One session's port that is, by the COM number chosen, one of several sources of bytes: the
// source of the scheme whose path is listed under the number (a network port, a replayed
// recording, the demo board), else the machine's serial port. Each scheme's source is made
// the first time one of its numbers is chosen and belongs to this router, so every session
// has its own. Changing to another source closes the one left.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "ports/serial_port.h"
#include "ports/source_schemes.h"

namespace korvani::ports {

class PortRouter final : public SerialPort {
 public:
  // `needs.PathOf` tells the path listed under a number; it is handed on to the sources made.
  PortRouter(SerialPort& machine, std::vector<SourceMaker> makers, SourceNeeds needs);

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
  struct Made {
    const SourceScheme* Scheme;
    std::unique_ptr<SerialPort> Port;
  };
  [[nodiscard]] SerialPort& Active() const { return *Current; }
  // The source for a number, made now if its scheme has none yet.
  SerialPort& PortFor(std::int16_t number);
  void Forward(SerialPort& port);
  template <typename Apply>
  void ForEach(Apply apply) {
    apply(Machine);
    for (const Made& made : Sources) {
      apply(*made.Port);
    }
  }

  SerialPort& Machine;
  std::vector<SourceMaker> Makers;
  SourceNeeds Needs;
  std::vector<Made> Sources;
  SerialPort* Current;
  std::int32_t ReadLength = 0;
};

}  // namespace korvani::ports
