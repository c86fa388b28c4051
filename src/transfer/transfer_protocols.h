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

// Reads the programs' progress lines ("Receiving: a.bin", "Bytes Sent: 2048/ 300000",
// "Bytes received: 1024", "Xmodem sectors/kbytes sent: 16/ 2k") as they come, in any pieces.
// Keeps only the line being written, so a chatty program costs nothing.
class ProgressReader {
 public:
  void Add(std::string_view text);
  // The bytes done so far, over every file of a batch, and the whole where the file being
  // moved said its size (the files before it counted in).
  [[nodiscard]] std::int64_t Bytes() const { return Before + Done; }
  [[nodiscard]] std::optional<std::int64_t> Total() const {
    return Size ? std::optional<std::int64_t>(Before + *Size) : std::nullopt;
  }
  // The files a batch received whole, by the names the sender gave.
  [[nodiscard]] const std::vector<std::string>& Completed() const { return Whole; }
  // The last whole line that was neither progress nor the program's own exit (a program's
  // reason for failing: "rz: Security Violation", not "rz: caught signal -1; exiting").
  [[nodiscard]] const std::string& LastMessage() const { return Message; }

 private:
  void ReadLine(std::string_view line);
  std::string Line;
  std::string Message;
  std::string Current;  // the file a batch is moving
  std::vector<std::string> Whole;
  std::int64_t Before = 0;  // the bytes of the batch's files before it
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
