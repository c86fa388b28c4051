// SPDX-License-Identifier: GPL-3.0-or-later
// A recorded session opened as a port: what the board sent comes in again at the recorded
// pace (or faster, slower, or as fast as the panel takes it), and what the panel sends goes
// nowhere. The recording is read piece by piece as it is due.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/timer.h"
#include "ports/queued_port.h"
#include "terminal/session_file.h"

namespace korvani::terminal {

class ReplayPort final : public ports::QueuedPort {
 public:
  using PathResolver = std::function<std::string(std::int16_t comNumber)>;
  // `resolve` gives the recording's file for a COM number (empty for none); `now` is a
  // steady clock in microseconds.
  ReplayPort(std::unique_ptr<base::Timer> timer, PathResolver resolve, RecordingPort::MicrosecondClock now);

  // 1 is the recorded pace, 2 twice as fast, 0.5 half; 0 as fast as possible. Applies from
  // the next open.
  void SetSpeed(double speed) { Speed = speed; }

  [[nodiscard]] bool IsOpen() const override { return Open; }
  bool SetOpen(bool open) override;
  [[nodiscard]] std::int64_t Capacity() const override { return kCapacity; }
  // What the panel sends during a replay is taken and goes nowhere.
  bool Write(std::string_view /*data*/) override { return Open; }
  [[nodiscard]] std::string LastError() const override { return Note; }
  // The recorded time of what the last read returned, counted from the opening: a plot of a
  // replay keeps the recording's time axis at any speed.
  [[nodiscard]] std::int64_t ArrivedAt(std::int64_t /*nowUs*/) const override { return StartedAt + LastDue; }

  // Whether the recording's file is open: from an opening until the replay comes to its end.
  [[nodiscard]] bool HoldsFile() const { return Reader.IsOpen(); }

  // The timer's tick: what is due comes in, a lot per moment of the recording.
  void Tick();

  // How often the replay looks for what is due, and the most one tick brings as fast as possible.
  static constexpr int kTickMs = 10;
  static constexpr std::size_t kMostPerTick = std::size_t{1} << 20;
  // A pause longer than this between two pieces is a damaged time, not the board's: it is
  // said and skipped rather than waited out.
  static constexpr std::int64_t kLongestGapUs = std::int64_t{3600} * 1'000'000;
  // Pieces recorded this close together come in as one lot, at the last one's time.
  static constexpr std::int64_t kOneMomentUs = 1000;

 private:
  static constexpr std::int64_t kCapacity = std::int64_t{1} << 30;

  std::unique_ptr<base::Timer> PaceTimer;
  PathResolver Resolve;
  RecordingPort::MicrosecondClock Now;
  SessionReader Reader;
  std::optional<SessionPiece> Due;  // the next piece received, read but not yet due
  std::string Note;                 // why it would not open, or that it came to its end
  double Speed = 1.0;
  std::int64_t StartedAt = 0;
  std::int64_t BytesReplayed = 0;
  std::int64_t LastRecorded = 0;  // the recorded time of the last piece read
  std::int64_t LastDue = 0;       // the replay's time of the last piece brought (and read)
  std::int64_t LotStart = 0;      // the replay's time of the first piece waiting to be read
  bool Open = false;
};

}  // namespace korvani::terminal
