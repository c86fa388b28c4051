// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/session_file.h"

#include <array>
#include <filesystem>

#include "base/files.h"

namespace korvani::terminal {

namespace {

constexpr std::size_t kRecordHead = 13;  // direction, time, length

template <typename Number>
void PutLittleEndian(std::string& out, Number value, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    out.push_back(static_cast<char>((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xFF));
  }
}

std::uint64_t GetLittleEndian(const char* in, int bytes) {
  std::uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(in[i]);
  }
  return value;
}

std::string RecordHead(Direction way, std::int64_t microseconds, std::size_t length) {
  std::string head;
  head.reserve(kRecordHead);
  head.push_back(way == Direction::Sent ? kSentLetter : kReceivedLetter);
  PutLittleEndian(head, microseconds, 8);
  PutLittleEndian(head, length, 4);
  return head;
}

}  // namespace

std::string FormatSessionHeader(const SessionFacts& facts) {
  std::string header = std::string(kSessionMagic) + std::to_string(kSessionVersion) + "\n";
  for (const auto& [name, value] : facts) {
    header.append(name).append(": ").append(value).append("\n");
  }
  return header + "\n";
}

std::string FormatSessionPiece(const SessionPiece& piece) {
  return RecordHead(piece.Way, piece.Microseconds, piece.Bytes.size()) + piece.Bytes;
}

bool SessionReader::Open(const std::string& path, std::string& why) {
  Records = 0;
  Damaged.clear();
  std::error_code error;
  if (std::filesystem::exists(base::Utf8Path(path), error) &&
      !std::filesystem::is_regular_file(base::Utf8Path(path), error)) {
    why = path + ": not a file";  // a device or a pipe never ends: nothing is read from it
    return false;
  }
  File = std::ifstream(base::Utf8Path(path), std::ios::binary | std::ios::ate);
  Size = File ? static_cast<std::streamoff>(File.tellg()) : 0;
  File.seekg(0);
  if (!File) {
    why = path + ": cannot be read";
    return false;
  }
  // The header is read with a limit: a file that is no recording is refused at once,
  // however large it is and whether or not it has line ends.
  std::string head(kMostSessionHeader, '\0');
  File.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(File.gcount()));
  File.clear();
  std::size_t lineEnd = head.find('\n');
  const std::string_view first(head.data(), lineEnd == std::string::npos ? head.size() : lineEnd);
  if (first.substr(0, kSessionMagic.size()) != kSessionMagic) {
    why = path + ": not a Korvani session recording";
    return false;
  }
  const std::string_view version = first.substr(kSessionMagic.size());
  if (version.empty() || version.size() > 4 || version.find_first_not_of("0123456789") != std::string::npos ||
      std::stoi(std::string(version)) > kSessionVersion) {
    why = path + ": a recording of format " + std::string(version.substr(0, 8)) +
          ", newer than this program reads (" + std::to_string(kSessionVersion) + ")";
    return false;
  }
  while (lineEnd != std::string::npos) {
    const std::size_t next = head.find('\n', lineEnd + 1);
    if (next == std::string::npos) {
      break;
    }
    const std::string_view line(head.data() + lineEnd + 1, next - lineEnd - 1);
    lineEnd = next;
    if (line.empty()) {
      File.seekg(static_cast<std::streamoff>(lineEnd + 1));  // the first record
      return true;
    }
    // A fact ("name: value") is for people reading the file; the replay needs none.
  }
  why = path + (head.size() < kMostSessionHeader ? ": the recording's header has no end"
                                                 : ": the recording's header has no end within 4 KB");
  return false;
}

std::optional<SessionPiece> SessionReader::DamageAt(std::streamoff at, const char* what) {
  Damaged = "record " + std::to_string(Records + 1) + " at byte " + std::to_string(at) + " " + what;
  File.setstate(std::ios::failbit);  // nothing after damage is trusted
  return std::nullopt;
}

std::optional<SessionPiece> SessionReader::Next() {
  std::array<char, kRecordHead> head{};
  const std::streamoff start = File.tellg();
  if (!File.read(head.data(), head.size())) {
    return File.gcount() > 0 ? DamageAt(start, "is cut short") : std::nullopt;
  }
  const char way = head[0];
  const std::uint64_t length = GetLittleEndian(head.data() + 9, 4);
  const std::streamoff at = File.tellg();
  if ((way != kReceivedLetter && way != kSentLetter) || length > kLongestSessionPiece || at < 0) {
    return DamageAt(start, "is no record");  // the rest cannot be trusted
  }
  if (static_cast<std::uint64_t>(Size - at) < length) {
    return DamageAt(start, "is cut short");
  }
  SessionPiece piece{way == kSentLetter ? Direction::Sent : Direction::Received,
                     static_cast<std::int64_t>(GetLittleEndian(head.data() + 1, 8)),
                     std::string(length, '\0')};
  if (!File.read(piece.Bytes.data(), static_cast<std::streamsize>(length))) {
    return DamageAt(start, "is cut short");
  }
  ++Records;
  return piece;
}

RecordingPort::RecordingPort(ports::SerialPort& port, MicrosecondClock now,
                             std::function<void(const std::string&)> stopped)
    : Port(port), Now(std::move(now)), Stopped(std::move(stopped)) {
  Port.SetEventHandler([this](ports::PortEvent event) { RaiseEvent(event); });
}

RecordingPort::~RecordingPort() {
  Port.SetEventHandler({});
}

std::string RecordingPort::Start(const std::string& path, const SessionFacts& facts) {
  Stop();
  File.open(base::Utf8Path(path), std::ios::binary | std::ios::trunc);
  const std::string header = FormatSessionHeader(facts);
  if (!File.is_open() || !File.write(header.data(), static_cast<std::streamsize>(header.size())).flush()) {
    File = std::ofstream();
    return path + ": cannot be written";
  }
  Path = path;
  StartedAt = Now();
  return {};
}

void RecordingPort::Stop() {
  if (File.is_open()) {
    File.close();
  }
}

void RecordingPort::Keep(Direction way, std::string_view bytes) {
  if (!File.is_open() || bytes.empty()) {
    return;
  }
  const std::int64_t time = Now() - StartedAt;
  for (std::size_t at = 0; at < bytes.size(); at += kLongestSessionPiece) {
    const std::string_view piece = bytes.substr(at, kLongestSessionPiece);
    const std::string head = RecordHead(way, time, piece.size());
    File.write(head.data(), static_cast<std::streamsize>(head.size()));
    File.write(piece.data(), static_cast<std::streamsize>(piece.size()));
  }
  if (!File.flush()) {
    File = std::ofstream();
    if (Stopped) {
      Stopped(Path + ": writing the recording failed; it stopped");
    }
  }
}

std::string RecordingPort::ReadInput() {
  std::string read = Port.ReadInput();
  Keep(Direction::Received, read);
  return read;
}

bool RecordingPort::Write(std::string_view data) {
  const bool written = Port.Write(data);
  if (written) {
    Keep(Direction::Sent, data);
  }
  return written;
}

}  // namespace korvani::terminal
