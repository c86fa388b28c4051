// SPDX-License-Identifier: GPL-3.0-or-later
// The file protocols the program offers through lrzsz's programs, how each is started, and
// what their progress lines say. The programs do the protocols; the program bridges them to
// the port (see file_transfer.h).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvani::transfer {

enum class Direction { Send, Receive };

// What a protocol's entry asks the user for.
enum class Pick {
  FileToSend,   // an existing file
  FileToWrite,  // a file name to receive into (XMODEM carries no name)
  Folder,       // a folder the sender's files are received into
};

struct ProtocolEntry {
  Direction Way;
  const char* Name;                    // in notes and progress: "XMODEM-1K"
  const char* Caption;                 // the menu entry
  const char* Program;                 // lrzsz's program
  std::array<const char*, 3> Options;  // before the file name; nullptr ends them
  Pick Asks;
};

// The lrzsz package's name, for the entries' hint when its programs are missing.
inline constexpr const char* kProtocolPackage = "lrzsz";

// -vv: the programs write their progress lines (bytes so far) to their error output.
// sz's window holds it back after 32 KB not yet acknowledged, so a slow line never has more
// than that waiting in the program; XMODEM and YMODEM wait for each block's answer anyway.
// rz and rb rename a file the folder already has (-E) rather than write over it, and run
// restricted (-R): a sender's name with a folder in it is refused.
inline constexpr std::array<ProtocolEntry, 8> kProtocols{{
    {Direction::Send, "XMODEM", "XMODEM...", "sx", {"-vv"}, Pick::FileToSend},
    {Direction::Send, "XMODEM-1K", "XMODEM-1K...", "sx", {"-vv", "-k"}, Pick::FileToSend},
    {Direction::Send, "YMODEM", "YMODEM...", "sb", {"-vv"}, Pick::FileToSend},
    {Direction::Send, "ZMODEM", "ZMODEM...", "sz", {"-vv", "-w", "32768"}, Pick::FileToSend},
    {Direction::Receive, "XMODEM", "XMODEM (checksum)...", "rx", {"-vv"}, Pick::FileToWrite},
    {Direction::Receive, "XMODEM", "XMODEM (CRC)...", "rx", {"-vv", "-c"}, Pick::FileToWrite},
    {Direction::Receive, "YMODEM", "YMODEM...", "rb", {"-vv", "-E", "-R"}, Pick::Folder},
    {Direction::Receive, "ZMODEM", "ZMODEM...", "rz", {"-vv", "-E", "-R"}, Pick::Folder},
}};

// A program to run: its name or path, its arguments, the folder it runs in.
struct ChildCommand {
  std::string Program;
  std::vector<std::string> Arguments;
  std::string Folder;
};

// The command for an entry and the path the user picked. The programs refuse absolute
// names, so each runs in the file's folder (or the folder picked) and is given the bare name,
// after "--" so that a file named "-c" is no option.
[[nodiscard]] ChildCommand CommandFor(const ProtocolEntry& entry, const std::string& programPath,
                                      const std::string& picked);

// Reads the programs' progress lines ("Bytes Sent: 2048/ 300000", "Bytes received: 1024",
// "Xmodem sectors/kbytes sent: 16/ 2k") as they come, in any pieces. Keeps only the line
// being written, so a chatty program costs nothing.
class ProgressReader {
 public:
  void Add(std::string_view text);
  // The bytes done so far by the last line that said, and the file's size where one said it.
  [[nodiscard]] std::int64_t Bytes() const { return Done; }
  [[nodiscard]] std::optional<std::int64_t> Total() const { return Size; }
  // The last whole line that was not a progress line (a program's reason for failing).
  [[nodiscard]] const std::string& LastMessage() const { return Message; }

 private:
  void ReadLine(std::string_view line);
  std::string Line;
  std::string Message;
  std::int64_t Done = 0;
  std::optional<std::int64_t> Size;
};

// Where a transfer is: bytes done, the whole (0: not known), seconds since it began.
struct TransferProgress {
  std::int64_t Done = 0;
  std::int64_t Total = 0;
  double Seconds = 0;
};

// "120,000 of 300,000 bytes, 11.7 KB/s, 15 s left"; the rate and the time left once a
// quarter second has gone, the time left only where the whole is known.
[[nodiscard]] std::string ProgressText(const TransferProgress& progress);
// 0..100, or -1 while the whole is not known.
[[nodiscard]] int ProgressPercent(const TransferProgress& progress);

}  // namespace korvani::transfer
