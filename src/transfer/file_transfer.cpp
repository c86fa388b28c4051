// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/file_transfer.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace korvani::transfer {

namespace {

// What tells a protocol's other end to give up: ten CANs, then as many backspaces to wipe
// them from a shell's line should nothing be listening.
const std::string kCancelSequence = std::string(10, '\x18') + std::string(10, '\x08');

// The last part of a file's or a folder's path ("/home/ann/in/" gives "in").
std::string NameOf(const std::string& path) {
  std::filesystem::path named(path);
  if (!named.has_filename()) {
    named = named.parent_path();
  }
  return named.filename().string();
}

}  // namespace

FileTransfer::FileTransfer(ports::SerialPort& port, terminal::ReceivePath& receive, TransferView& view,
                           base::Dialogs& dialogs, std::function<bool(std::string_view)> sendAsTyped,
                           TransferPlatform platform)
    : Port(port),
      Receive(receive),
      View(view),
      Dialogs(dialogs),
      SendAsTyped(std::move(sendAsTyped)),
      Platform(std::move(platform)),
      Ticker(Platform.MakeTimer()) {
  Ticker->SetTickHandler([this] { TopUp(); });
}

FileTransfer::~FileTransfer() {
  if (Active) {
    Receive.SetDiversion(nullptr);
  }
  if (!Staging.empty()) {
    std::error_code error;
    std::filesystem::remove_all(Staging, error);  // a receive cut short by the program's end
  }
}

bool FileTransfer::Choose(const ProtocolEntry* entry) {
  if (entry != nullptr && !Missing(*entry).empty()) {
    return Run(*entry, {});  // says what to install
  }
  const Pick asks = entry == nullptr ? Pick::FileToSend : entry->Asks;
  std::string picked;
  switch (asks) {
    case Pick::FileToSend:
      picked = Dialogs.PickOpenFile("Send file");
      break;
    case Pick::FileToWrite:
      picked = Dialogs.PickSaveFile(
          Platform.DownloadsFolder.empty()
              ? std::string("received.bin")
              : (std::filesystem::path(Platform.DownloadsFolder) / "received.bin").string());
      break;
    case Pick::Folder:
      picked = Dialogs.PickFolder("Receive the files into", Platform.DownloadsFolder);
      break;
  }
  if (picked.empty()) {
    return false;
  }
  return entry == nullptr ? SendAsItIs(picked) : Run(*entry, picked);
}

std::string FileTransfer::Missing(const ProtocolEntry& entry) const {
  if (Platform.FindProgram && !Platform.FindProgram(entry.Program).empty()) {
    return {};
  }
  return std::string("needs ") + entry.Program + " from the " + kProtocolPackage +
         " package: install it (apt install " + kProtocolPackage + ")";
}

bool FileTransfer::Begin(std::string title) {
  if (Active) {
    View.EndTransfer("a transfer is running already: cancel it first");
    return false;
  }
  if (!Port.IsOpen()) {
    View.EndTransfer("the port is not open");
    return false;
  }
  Title = std::move(title);
  Active = true;
  Cancelled = false;
  Stopped.clear();
  Handed = 0;
  Gone = 0;
  ClosingsAtStart = Platform.PortClosings ? Platform.PortClosings() : 0;
  Progress = ProgressReader();
  StartedUs = Platform.Microseconds();
  LastShownUs = StartedUs;
  View.ShowTransfer(Title, ProgressText({0, FileSize, 0}), FileSize > 0 ? 0 : -1);
  return true;
}

bool FileTransfer::SendAsItIs(const std::string& path) {
  if (Active) {
    return Begin({});  // says why not
  }
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error) {
    View.EndTransfer(NameOf(path) + " cannot be read: " + error.message());
    return false;
  }
  File = std::ifstream(path, std::ios::binary);
  if (!File) {
    View.EndTransfer(NameOf(path) + " cannot be read");
    return false;
  }
  FileSize = static_cast<std::int64_t>(size);
  Entry = nullptr;
  if (!Begin("Sending " + NameOf(path) + " as it is")) {
    File.close();
    return false;
  }
  Ticker->SetInterval(kTopUpMs);
  Ticker->SetEnabled(true);
  TopUp();
  return true;
}

void FileTransfer::TopUp() {
  if (!Active || Entry != nullptr) {
    return;
  }
  if (!Port.IsOpen()) {
    Finish("stopped: the port closed");
    return;
  }
  if (PortWasClosed()) {
    // What waited in the port is gone: the file did not arrive whole, whatever follows.
    Handed = Gone;
    Finish(
        "failed: the port was closed and opened again (its settings changed or the line failed), "
        "so the bytes waiting in it were lost");
    return;
  }
  const std::int64_t queued = Port.BytesToWrite();
  Gone = Handed - queued;
  if (Handed < FileSize && queued < kMostQueued) {
    std::string piece(static_cast<std::size_t>(std::min(kMostQueued - queued, FileSize - Handed)), '\0');
    File.read(piece.data(), static_cast<std::streamsize>(piece.size()));
    piece.resize(static_cast<std::size_t>(File.gcount()));
    if (piece.empty()) {
      Finish("stopped: the file could not be read to its end");
      return;
    }
    if (!SendAsTyped(piece)) {
      Finish("stopped: the port did not take it (" + Port.LastError() + ")");
      return;
    }
    Handed += static_cast<std::int64_t>(piece.size());
  }
  if (Handed == FileSize && Port.BytesToWrite() == 0) {
    Finish("sent");
    return;
  }
  ShowProgress();
}

bool FileTransfer::Run(const ProtocolEntry& entry, const std::string& picked) {
  if (Active) {
    return Begin({});  // says why not
  }
  const std::string program = Platform.FindProgram ? Platform.FindProgram(entry.Program) : std::string();
  if (program.empty()) {
    View.EndTransfer(std::string(entry.Name) + " " + Missing(entry));
    return false;
  }
  FileSize = 0;
  if (entry.Way == Direction::Send) {
    std::error_code error;
    FileSize = static_cast<std::int64_t>(std::filesystem::file_size(picked, error));
    if (error) {
      View.EndTransfer(NameOf(picked) + " cannot be read: " + error.message());
      return false;
    }
  }
  std::string runIn = picked;
  if (entry.Way == Direction::Receive) {
    // A fresh folder of the transfer's own in the folder chosen (so a finished file is
    // renamed into place, never copied).
    const std::filesystem::path folder = entry.Asks == Pick::Folder
                                             ? std::filesystem::path(picked)
                                             : std::filesystem::path(picked).parent_path();
    std::error_code error;
    const std::filesystem::path staging =
        folder / (".korvani-receiving-" + std::to_string(Platform.Microseconds()));
    if (!std::filesystem::create_directory(staging, error) || error) {
      View.EndTransfer("cannot receive into " + NameOf(folder.string()) + ": " +
                       (error ? error.message() : std::string("a folder of that name is there")));
      return false;
    }
    Staging = staging.string();
    runIn =
        entry.Asks == Pick::Folder ? Staging : (staging / std::filesystem::path(picked).filename()).string();
  }
  Picked = picked;
  Entry = &entry;
  const std::string title = entry.Way == Direction::Send
                                ? "Sending " + NameOf(picked) + " by " + entry.Name
                                : "Receiving by " + std::string(entry.Name) + " into " + NameOf(picked);
  if (!Begin(title)) {
    Entry = nullptr;
    return false;
  }
  Child = Platform.MakeChild();
  Receive.SetDiversion([this](std::string_view chunk) { Child->Write(chunk); });
  ChildProcess::Handlers handlers;
  handlers.Output = [this](std::string_view bytes) {
    if (PortWasClosed() && !Cancelled) {
      Stopped = "failed: the port was closed and opened again (its settings changed or the line failed)";
      Cancelled = true;
      Child->Kill();
      return;
    }
    if (!Port.Write(bytes) && !Cancelled) {
      // The line is gone (a USB adapter pulled out): the program would only wait out its
      // retries, so it is stopped now.
      Stopped = "stopped: the port closed";
      Cancelled = true;
      Child->Kill();
    }
  };
  handlers.ErrorText = [this](std::string_view text) {
    Progress.Add(text);
    ShowProgress();
  };
  handlers.Finished = [this](int exitCode, bool exitedNormally) { ChildFinished(exitCode, exitedNormally); };
  if (!Child->Start(CommandFor(entry, program, runIn), std::move(handlers))) {
    Finish(std::string("failed: ") + entry.Program + " could not start (" + Child->Problem() + ")");
    return false;
  }
  return true;
}

void FileTransfer::ShowProgress() {
  const std::int64_t now = Platform.Microseconds();
  if (now - LastShownUs < std::int64_t{kProgressMs} * 1000) {
    return;
  }
  LastShownUs = now;
  TransferProgress progress{0, FileSize, Seconds()};
  if (Entry == nullptr) {
    progress.Done = Handed - Port.BytesToWrite();
  } else {
    progress.Done = Progress.Bytes();
    progress.Total = Progress.Total().value_or(FileSize);
  }
  View.ShowTransfer(Title, ProgressText(progress), ProgressPercent(progress));
}

void FileTransfer::Cancel() {
  if (!Active) {
    return;
  }
  if (Entry == nullptr) {
    Finish("cancelled");
    return;
  }
  Cancelled = true;
  Child->Kill();
  Port.Write(kCancelSequence);
}

void FileTransfer::ChildFinished(int exitCode, bool exitedNormally) {
  if (!Active) {
    return;
  }
  const bool succeeded = !Cancelled && exitedNormally && exitCode == 0;
  const std::string delivered = Deliver(succeeded);
  if (Cancelled) {
    Finish((Stopped.empty() ? "cancelled" : Stopped) + delivered);
  } else if (succeeded) {
    Finish((Entry->Way == Direction::Send ? "sent" : "received") + delivered);
  } else {
    const std::string& said = Progress.LastMessage();
    Finish(
        "failed: " +
        (said.empty() ? std::string(Entry->Program) + " ended with code " + std::to_string(exitCode) : said) +
        delivered);
  }
}

std::string FileTransfer::Deliver(bool succeeded) {
  if (Staging.empty()) {
    return {};
  }
  namespace fs = std::filesystem;
  const fs::path staging(Staging);
  Staging.clear();
  std::error_code error;
  std::vector<std::string> names;
  if (Entry->Asks == Pick::FileToWrite) {
    if (succeeded) {
      names.push_back(fs::path(Picked).filename().string());
    }
  } else if (succeeded) {
    for (const fs::directory_entry& found : fs::directory_iterator(staging, error)) {
      names.push_back(found.path().filename().string());
    }
  } else {
    names = Progress.Completed();  // whole before the failure; the one half received stays out
  }
  // What a failed receive left half done, kept when the user asked for it.
  std::vector<std::string> partial;
  if (!succeeded && KeepPartial) {
    for (const fs::directory_entry& found : fs::directory_iterator(staging, error)) {
      const std::string name = found.path().filename().string();
      if (std::find(names.begin(), names.end(), name) == names.end()) {
        partial.push_back(name);
      }
    }
  }
  std::string refused;
  std::string unmoved;
  std::string kept;
  const std::size_t whole = names.size();
  names.insert(names.end(), partial.begin(), partial.end());
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string& name = names[i];
    const fs::path from = staging / name;
    // Only a plain file under a bare name that is not hidden: the sender names the files.
    if (name.empty() || name.front() == '.' || name.find_first_of("/\\") != std::string::npos ||
        !fs::is_regular_file(fs::symlink_status(from, error))) {
      refused += (refused.empty() ? "" : ", ") + name;
      continue;
    }
    const bool isPartial = i >= whole;
    const std::string suffix = isPartial ? ".partial" : "";
    const fs::path first =
        Entry->Asks == Pick::FileToWrite ? fs::path(Picked + suffix) : fs::path(Picked) / (name + suffix);
    fs::path to = first;
    // As -E names a file already there; a partial file never replaces one either.
    for (int copy = 1; (Entry->Asks == Pick::Folder || isPartial) &&
                       fs::exists(fs::symlink_status(to, error)) && copy < 1000;
         ++copy) {
      to = first.parent_path() / (first.filename().string() + "." + std::to_string(copy));
    }
    fs::rename(from, to, error);
    if (error) {
      unmoved += (unmoved.empty() ? "" : ", ") + name + " (" + error.message() + ")";
    } else if (isPartial) {
      kept += (kept.empty() ? "" : ", ") + to.filename().string();
    }
  }
  fs::remove_all(staging, error);
  std::string said;
  if (!refused.empty()) {
    said += "; refused (a hidden name, a folder in it, or no plain file): " + refused;
  }
  if (!unmoved.empty()) {
    said += "; could not be put in place: " + unmoved;
  }
  if (!kept.empty()) {
    said += "; the part received is kept as " + kept;
  }
  return said;
}

void FileTransfer::Finish(const std::string& outcome) {
  Ticker->SetEnabled(false);
  File.close();
  Receive.SetDiversion(nullptr);
  Active = false;
  const std::int64_t done = Entry == nullptr ? Handed : Progress.Bytes();
  const std::string note = Title + ": " + outcome + ", " + ProgressText({done, 0, Seconds()});
  Receive.ShowNote(note);
  View.EndTransfer(note);
}

bool FileTransfer::PortWasClosed() const {
  return Platform.PortClosings && Platform.PortClosings() != ClosingsAtStart;
}

double FileTransfer::Seconds() const {
  return static_cast<double>(Platform.Microseconds() - StartedUs) / 1e6;
}

}  // namespace korvani::transfer
