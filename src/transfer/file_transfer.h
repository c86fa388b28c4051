// SPDX-License-Identifier: GPL-3.0-or-later
// Sending and receiving files over the port: a file sent as it is, or one of lrzsz's
// protocol programs run as a child process whose input and output are bridged to the port.
// While a transfer runs, what the board sends goes to it and not to the views; when it
// ends, is cancelled or fails, the port is the views' again. A receiving program writes into
// a fresh folder of the transfer's own beside the files chosen; only files it received
// whole leave it, by their bare names, so a file already there is untouched by a transfer
// that fails and nothing lands outside the folder chosen.
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/dialogs.h"
#include "base/timer.h"
#include "ports/serial_port.h"
#include "terminal/receive_path.h"
#include "transfer/child_process.h"
#include "transfer/transfer_protocols.h"
#include "transfer/transfer_view.h"

namespace korvani::transfer {

struct TransferPlatform {
  std::function<std::unique_ptr<ChildProcess>()> MakeChild;
  // The program's full path, or "" when it is not installed.
  std::function<std::string(std::string_view name)> FindProgram;
  std::function<std::unique_ptr<base::Timer>()> MakeTimer;
  std::function<std::int64_t()> Microseconds;
  std::string DownloadsFolder = {};  // where the choosers of received files open
  // How often the port was closed so far (each close loses what waited to go out); none
  // when the port cannot tell.
  std::function<std::uint64_t()> PortClosings = {};
};

class FileTransfer {
 public:
  // `sendAsTyped` writes bytes the user sends (a file sent as it is), seen by "Show sent"
  // and a recording; a protocol's bytes go to `port` directly, seen by a recording only.
  FileTransfer(ports::SerialPort& port, terminal::ReceivePath& receive, TransferView& view,
               base::Dialogs& dialogs, std::function<bool(std::string_view)> sendAsTyped,
               TransferPlatform platform);
  ~FileTransfer();
  FileTransfer(const FileTransfer&) = delete;
  FileTransfer& operator=(const FileTransfer&) = delete;

  // A menu entry chosen: asks for the file or folder the entry needs (none: "Send file..."
  // as it is) and begins. False when the pick was cancelled or the transfer could not begin.
  bool Choose(const ProtocolEntry* entry);
  // "Send file...": the file's bytes as they are, no faster than the port takes them (so a
  // line's flow control holds them back). False, with the reason shown, when it cannot begin.
  bool SendAsItIs(const std::string& path);
  // A protocol entry with the file or folder the user picked. False, with the reason shown,
  // when it cannot begin (its program missing, the port closed, another transfer running).
  bool Run(const ProtocolEntry& entry, const std::string& picked);
  // Stops the transfer running: the child killed, the board told, the port the views' again.
  void Cancel();
  [[nodiscard]] bool Running() const { return Active; }
  // Whether a receive that fails or is cancelled keeps what it got of a file, as NAME.partial
  // beside the files chosen (never over one); off, it is removed.
  void SetKeepPartial(bool keep) { KeepPartial = keep; }
  [[nodiscard]] bool KeepsPartial() const { return KeepPartial; }

  // "" when the entry's program is installed, else what to install ("needs lrzsz: ...").
  [[nodiscard]] std::string Missing(const ProtocolEntry& entry) const;

  // How much of a file sent as it is may wait in the port at once, and how often it is
  // topped up: 16 KB every 10 ms lets 1.6 MB/s through and keeps a cancel prompt.
  static constexpr std::int64_t kMostQueued = std::int64_t{16} * 1024;
  static constexpr int kTopUpMs = 10;
  static constexpr int kProgressMs = 250;

 private:
  bool Begin(std::string title);
  void TopUp();
  void ShowProgress();
  void ChildFinished(int exitCode, bool exitedNormally);
  void Finish(const std::string& outcome);
  // True once the port was closed (and perhaps opened again) since the transfer began.
  [[nodiscard]] bool PortWasClosed() const;
  // Moves what the receiving program finished out of its own folder, and removes that folder
  // with anything half received; says what was refused or could not be moved ("" for none).
  std::string Deliver(bool succeeded);
  [[nodiscard]] double Seconds() const;

  ports::SerialPort& Port;
  terminal::ReceivePath& Receive;
  TransferView& View;
  base::Dialogs& Dialogs;
  std::function<bool(std::string_view)> SendAsTyped;
  TransferPlatform Platform;
  std::unique_ptr<base::Timer> Ticker;
  bool Active = false;
  std::string Title;
  std::int64_t StartedUs = 0;
  std::int64_t LastShownUs = 0;
  std::uint64_t ClosingsAtStart = 0;
  // A file sent as it is.
  std::ifstream File;
  std::int64_t FileSize = 0;
  std::int64_t Handed = 0;  // bytes the port has taken
  std::int64_t Gone = 0;    // of those, known to have left the port
  // A protocol.
  std::unique_ptr<ChildProcess> Child;
  const ProtocolEntry* Entry = nullptr;
  ProgressReader Progress;
  bool Cancelled = false;
  bool KeepPartial = false;
  std::string Stopped;  // why a protocol's program was stopped, when the user did not
  std::string Picked;   // the file or folder the user chose
  std::string Staging;  // the receiving program's own folder, while it runs
};

}  // namespace korvani::transfer
