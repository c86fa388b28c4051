// SPDX-License-Identifier: GPL-3.0-or-later
// The demo board behind the serial-port interface, listed as a port of its own (the port
// router sends its number here): the panel opens, reads and writes it like any other port. The board runs on
// a window timer, and what it sends arrives as receive events from that timer, never from inside a write.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/timer.h"
#include "demo/demo_board.h"
#include "ports/queued_port.h"
#include "ports/source_schemes.h"

namespace korvani::demo {

// The COM number the demo board is listed under: the highest the port list shows.
inline constexpr std::int16_t kDemoPortNumber = ports::kDemoPortNumber;
// What the port list calls it: "Vexel demo board (COM255)".
inline constexpr std::string_view kDemoDescription = ports::kDemoDescription;

// The board is on a line of its own as far as the panel can tell: it takes the line's
// settings (and needs none of them), and it has no control lines.
class DemoPort final : public ports::QueuedPort, public ports::SerialLine {
 public:
  explicit DemoPort(std::unique_ptr<base::Timer> timer);

  [[nodiscard]] bool IsOpen() const override { return Open; }
  bool SetOpen(bool open) override;
  [[nodiscard]] std::int64_t Capacity() const override { return kCapacity; }
  bool Write(std::string_view data) override;
  [[nodiscard]] std::string LastError() const override { return {}; }
  [[nodiscard]] ports::SerialLine* Line() override { return this; }
  void SetLine(const ports::LineSettings& /*line*/) override {}
  [[nodiscard]] bool HasControlLines() const override { return false; }
  bool SetDtr(bool /*on*/) override { return false; }
  bool SetRts(bool /*on*/) override { return false; }
  [[nodiscard]] ports::ControlLines Lines() const override { return {}; }
  bool SendBreak(int /*milliseconds*/) override { return false; }

  // The board's timer tick: the board works, and what it sent is announced.
  void Tick();
  [[nodiscard]] const DemoBoard& Board() const { return Vexel; }
  DemoBoard& Board() { return Vexel; }
  // Whether the panel writes the board's disk logs, asked by every power-up's board.
  void SetPanelWritesLogs(std::function<bool()> writes);

 private:
  static constexpr std::int64_t kCapacity = 1 << 20;

  std::unique_ptr<base::Timer> BoardTimer;
  DemoBoard Vexel;
  std::function<bool()> PanelWritesLogs;
  bool Open = false;
};

}  // namespace korvani::demo
