// SPDX-License-Identifier: GPL-3.0-or-later
// A recorded session: everything received and sent, each piece with its time and direction,
// in one file. The file is a text header, then binary records:
//
//   Korvani session 1\n          the format and its version
//   started: 2026-12-08 14:03:11\n  facts, "name: value", one a line
//   program: Korvani V1.3 build 020\n
//   \n                           an empty line ends the header
//   record*                      direction (1 byte: 'R' received, 'S' sent),
//                                time (8 bytes: microseconds since the start, little endian),
//                                length (4 bytes, little endian), then that many bytes
//
// A reader takes any version up to its own and passes over facts it does not know. A header
// longer than 4 KB is no header of this program's: the file is refused before more is read.
// A last record cut short (the program stopped mid-write) is left out, and so is everything
// from a record that is no record (an unknown direction, a length past what is left or past
// 16 MB); the reader says where the damage lies.
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ports/serial_port.h"
#include "terminal/rx_history.h"

namespace korvani::terminal {

inline constexpr std::string_view kSessionMagic = "Korvani session ";
inline constexpr int kSessionVersion = 1;
// The most a header may take, its end included.
inline constexpr std::size_t kMostSessionHeader = 4096;
// The longest record: the reader takes a longer length for damage, so the writer cuts what
// is longer (an unpaced paste of a large clipboard) into records of this, at one time.
inline constexpr std::size_t kLongestSessionPiece = std::size_t{16} << 20;

// A piece's direction letter in the file.
inline constexpr char kReceivedLetter = 'R';
inline constexpr char kSentLetter = 'S';

struct SessionPiece {
  Direction Way = Direction::Received;
  std::int64_t Microseconds = 0;  // since the recording started
  std::string Bytes;
  bool operator==(const SessionPiece&) const = default;
};

using SessionFacts = std::vector<std::pair<std::string, std::string>>;

std::string FormatSessionHeader(const SessionFacts& facts);
std::string FormatSessionPiece(const SessionPiece& piece);

// Reads a recording piece by piece, never the whole file at once.
class SessionReader {
 public:
  // Opens and reads the header; false, with the reason in plain words, when the file cannot
  // be read or is not a recording this program can read.
  bool Open(const std::string& path, std::string& why);
  // The next piece, or nothing at the end.
  std::optional<SessionPiece> Next();
  void Close() { File = std::ifstream(); }
  [[nodiscard]] bool IsOpen() const { return File.is_open(); }
  // Once Next() found nothing: empty at a clean end, else what is wrong and where ("record 3
  // at byte 240 is cut short").
  [[nodiscard]] const std::string& Damage() const { return Damaged; }

 private:
  std::optional<SessionPiece> DamageAt(std::streamoff at, const char* what);

  std::ifstream File;
  std::streamoff Size = 0;   // a record longer than what is left is damage, not data
  std::int64_t Records = 0;  // read so far
  std::string Damaged;
};

// A port that records what passes through it while a recording runs: what is read from the
// port it stands for as received, what is written to it as sent.
class RecordingPort final : public ports::SerialPort {
 public:
  using MicrosecondClock = std::function<std::int64_t()>;
  // `now` is a steady clock; `stopped` hears of a recording that ended by a write failure.
  RecordingPort(ports::SerialPort& port, MicrosecondClock now,
                std::function<void(const std::string& why)> stopped);
  ~RecordingPort() override;
  RecordingPort(const RecordingPort&) = delete;
  RecordingPort& operator=(const RecordingPort&) = delete;

  // Starts recording into `path` (replacing it); empty, or why it could not.
  std::string Start(const std::string& path, const SessionFacts& facts);
  void Stop();
  [[nodiscard]] bool Recording() const { return File.is_open(); }

  void SetPortNumber(std::int16_t number) override { Port.SetPortNumber(number); }
  [[nodiscard]] std::int16_t PortNumber() const override { return Port.PortNumber(); }
  [[nodiscard]] ports::SerialLine* Line() override { return Port.Line(); }
  [[nodiscard]] std::int64_t BytesToWrite() const override { return Port.BytesToWrite(); }
  [[nodiscard]] bool MoreArriving() const override { return Port.MoreArriving(); }
  [[nodiscard]] std::int64_t ArrivedAt(std::int64_t nowUs) const override { return Port.ArrivedAt(nowUs); }
  [[nodiscard]] bool IsOpen() const override { return Port.IsOpen(); }
  bool SetOpen(bool open) override {
    if (!open && Port.IsOpen()) {
      ++Closes;
    }
    return Port.SetOpen(open);
  }
  // How often the open port was closed (a change of its settings, a reset after an error):
  // what was waiting to go out is lost each time.
  [[nodiscard]] std::uint64_t Closings() const { return Closes; }
  [[nodiscard]] std::int64_t BytesWaiting() const override { return Port.BytesWaiting(); }
  [[nodiscard]] std::int64_t Capacity() const override { return Port.Capacity(); }
  void SetReadLength(std::int32_t length) override { Port.SetReadLength(length); }
  std::string ReadInput() override;
  bool Write(std::string_view data) override;
  [[nodiscard]] std::string LastError() const override { return Port.LastError(); }

 private:
  void Keep(Direction way, std::string_view bytes);

  ports::SerialPort& Port;
  MicrosecondClock Now;
  std::function<void(const std::string&)> Stopped;
  std::ofstream File;
  std::string Path;
  std::int64_t StartedAt = 0;
  std::uint64_t Closes = 0;
};

}  // namespace korvani::terminal
