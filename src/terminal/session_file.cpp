#include "terminal/session_file.h"

#include <array>

#include "base/files.h"

namespace korvani::terminal {

namespace {

constexpr std::size_t kRecordHead = 13;  // direction, time, length
// A length past this is no record of this program's (a port never reads that much at once).
constexpr std::uint64_t kLongestPiece = std::uint64_t{16} << 20;

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
  File = std::ifstream(base::Utf8Path(path), std::ios::binary | std::ios::ate);
  Size = File ? static_cast<std::streamoff>(File.tellg()) : 0;
  File.seekg(0);
  HeaderFacts.clear();
  if (!File) {
    why = path + ": cannot be read";
    return false;
  }
  std::string line;
  std::getline(File, line);
  if (line.rfind(kSessionMagic, 0) != 0) {
    why = path + ": not a Korvani session recording";
    return false;
  }
  const std::string version = line.substr(kSessionMagic.size());
  if (version.empty() || version.size() > 4 || version.find_first_not_of("0123456789") != std::string::npos ||
      std::stoi(version) > kSessionVersion) {
    why = path + ": a recording of format " + version + ", newer than this program reads (" +
          std::to_string(kSessionVersion) + ")";
    return false;
  }
  while (std::getline(File, line) && !line.empty()) {
    const std::size_t colon = line.find(": ");
    if (colon != std::string::npos) {
      HeaderFacts.emplace_back(line.substr(0, colon), line.substr(colon + 2));
    }
  }
  if (!File) {
    why = path + ": the recording's header has no end";
    return false;
  }
  return true;
}

std::optional<SessionPiece> SessionReader::Next() {
  std::array<char, kRecordHead> head{};
  if (!File.read(head.data(), head.size())) {
    return std::nullopt;
  }
  const char way = head[0];
  const std::uint64_t length = GetLittleEndian(head.data() + 9, 4);
  const std::streamoff at = File.tellg();
  if ((way != kReceivedLetter && way != kSentLetter) || length > kLongestPiece || at < 0 ||
      static_cast<std::uint64_t>(Size - at) < length) {
    return std::nullopt;  // not a record: the rest cannot be trusted
  }
  SessionPiece piece{way == kSentLetter ? Direction::Sent : Direction::Received,
                     static_cast<std::int64_t>(GetLittleEndian(head.data() + 1, 8)),
                     std::string(length, '\0')};
  if (!File.read(piece.Bytes.data(), static_cast<std::streamsize>(length))) {
    return std::nullopt;
  }
  return piece;
}

RecordingPort::RecordingPort(SerialPort& port, MicrosecondClock now,
                             std::function<void(const std::string&)> stopped)
    : Port(port), Now(std::move(now)), Stopped(std::move(stopped)) {
  Port.SetEventHandler([this](int code) { RaiseEvent(code); });
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
  const std::string head = RecordHead(way, Now() - StartedAt, bytes.size());
  File.write(head.data(), static_cast<std::streamsize>(head.size()));
  if (!File.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush()) {
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
