// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/receive_path.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "base/files.h"
#include "base/hex_notation.h"

namespace korvani::terminal {

namespace {
constexpr std::string_view kFreezeCaption = "Freeze";
constexpr std::string_view kUpdateCaption = "Update";
}  // namespace

ReceivePath::ReceivePath(ports::SerialPort& port, RxPaneView& view, ChunkSink hmiSink)
    : Port(port), View(view), HmiSink(std::move(hmiSink)) {
  for (base::AppendingFile* file : {&Logs.AsciiFile, &Logs.HexFile}) {
    file->SetProblemHandler([this](const std::string&) { ShowLogProblems(); });
  }
}

ReceivePath::~ReceivePath() {
  // The logs write what they keep as they close, with no view left to tell.
  Logs.AsciiFile.SetProblemHandler({});
  Logs.HexFile.SetProblemHandler({});
}

void ReceivePath::ShowLogProblems() {
  std::string problems;
  for (const auto& [name, file] : {std::pair{"ASCII log ", &Logs.AsciiFile}, {"Hex log ", &Logs.HexFile}}) {
    if (!file->Problem().empty()) {
      problems.append(problems.empty() ? "" : "; ").append(name).append(file->Problem());
    }
  }
  View.ShowLogProblem(problems);
}

void ReceivePath::OnPortEvent(ports::PortEvent event) {
  if (Port.BytesWaiting() >= Port.Capacity()) {
    ResetPort();
  }
  switch (event) {
    case ports::PortEvent::Received:
      ReadTerminalInput();
      break;
    case ports::PortEvent::LineChanged:  // nothing to do here; the connection shows it
      break;
    case ports::PortEvent::Timeout:
    case ports::PortEvent::ReadFailed:
    case ports::PortEvent::DeviceGone:
    case ports::PortEvent::WriteFailed:
    case ports::PortEvent::OtherError:
      ResetPort();
      break;
  }
}

void ReceivePath::ResetPort() {
  Port.SetOpen(false);
  Port.SetOpen(true);
}

void ReceivePath::ReadTerminalInput() {
  if (ReadGuard) {
    // A handler let the event loop run; the data is read once the guard clears below,
    // not only when the next byte happens to arrive.
    ReadTurnedAway = true;
    return;
  }
  do {
    ReadTurnedAway = false;
    ReadGuard = true;
    try {
      if (Port.BytesWaiting() != 0) {
        const std::string chunk = Port.ReadInput();
        AddThisLot(chunk);
      }
    } catch (const std::exception&) {
      // A failure ends the work on this chunk without a message; what was done stays done.
    }
    ReadGuard = false;
  } while (ReadTurnedAway);
}

void ReceivePath::AddThisLot(std::string_view thisLot) {
  if (Diversion) {
    Diversion(thisLot);
    return;
  }
  ArrivalMs = Time != nullptr ? base::MsOfDay(Time->Now()) : 0;
  Kept.Add(thisLot, ArrivalMs);
  LogRxAscii(thisLot);
  LogRxHex(thisLot);
  WriteLogsUnlessMoreArrives();

  if (!IsFrozen) {
    UpDateRxDisplayDebug();
  }

  for (std::size_t i = 0; i < Watchers.size(); ++i) {  // by index: a watcher may stop watching
    Watchers[i].second(thisLot);
  }
  if (HmiSink) {
    HmiSink(thisLot);
  }
}

int ReceivePath::Watch(ChunkSink watcher) {
  Watchers.emplace_back(++LastWatching, std::move(watcher));
  return LastWatching;
}

void ReceivePath::Unwatch(int watching) {
  std::erase_if(Watchers, [watching](const auto& watcher) { return watcher.first == watching; });
}

void ReceivePath::SetLogTimer(std::unique_ptr<base::Timer> timer) {
  LogTimer = std::move(timer);
  if (LogTimer) {
    LogTimer->SetInterval(kLogLagMs);
    LogTimer->SetTickHandler([this] { WriteKeptLogs(); });
  }
}

void ReceivePath::WriteLogsUnlessMoreArrives() {
  if (!Logs.AsciiFile.Keeps() && !Logs.HexFile.Keeps()) {
    return;
  }
  if (LogTimer && Port.MoreArriving()) {
    if (!LogTimer->Enabled()) {
      LogTimer->SetEnabled(true);
    }
    return;
  }
  WriteKeptLogs();
}

void ReceivePath::WriteKeptLogs() {
  Logs.AsciiFile.Flush();  // a failed write is skipped
  Logs.HexFile.Flush();
  if (LogTimer && LogTimer->Enabled()) {
    LogTimer->SetEnabled(false);
  }
}

void ReceivePath::HexForLog(std::string_view thisLot) {
  // Sized for the most the chunk can need (and the table's slack byte), written in place a
  // row's run at a time, then cut to what was written.
  HexScratch.resize(thisLot.size() * 3 + (thisLot.size() / kHexPairsPerLine + 1) * 2 + 1);
  char* out = HexScratch.data();
  std::size_t at = 0;
  while (at < thisLot.size()) {
    const std::size_t run =
        std::min(static_cast<std::size_t>(kHexPairsPerLine - Column), thisLot.size() - at);
    for (const char ch : thisLot.substr(at, run)) {
      std::memcpy(out, base::kHexPairAndSpace[static_cast<unsigned char>(ch)].data(), 4);
      out += 3;
    }
    at += run;
    Column = static_cast<std::int16_t>(Column + run);
    if (Column == kHexPairsPerLine) {
      Column = 0;
      *out++ = '\r';
      *out++ = '\n';
    }
  }
  HexScratch.resize(static_cast<std::size_t>(out - HexScratch.data()));
}

void ReceivePath::UpDateRxDisplayDebug() {
  View.ShowHistory(Form());
}

void ReceivePath::LogRxAscii(std::string_view thisLot) {
  if (!Logs.LogAscii) {
    return;  // its text is not even made
  }
  AsciiScratch.clear();
  base::AppendAsciiToDisplay(AsciiScratch, thisLot);
  Logs.AsciiFile.AppendLater(Logs.AsciiFileName, Logs.AsciiLogText(AsciiScratch, ArrivalMs));
}

std::string_view RxLogSettings::AsciiLogText(std::string_view text, std::int32_t msOfDay) {
  if (!Timestamps) {
    return text;
  }
  StampedScratch.clear();
  AsciiStamps.Stamp(text, StampText(msOfDay), StampedScratch);
  return StampedScratch;
}

void ReceivePath::RecordSent(std::string_view bytes) {
  if (!ShowSentOn) {
    return;
  }
  Kept.Add(bytes, Time != nullptr ? base::MsOfDay(Time->Now()) : 0, Direction::Sent);
  if (!IsFrozen) {
    UpDateRxDisplayDebug();
  }
}

void ReceivePath::ShowNote(std::string_view text) {
  Kept.Add(text, Time != nullptr ? base::MsOfDay(Time->Now()) : 0, Direction::Note);
  if (!IsFrozen) {
    UpDateRxDisplayDebug();
  }
}

std::string ReceivePath::ViewText() const {
  const HistoryForm form = Form();
  const std::uint64_t upTo = HistoryShownEnd();
  std::string text;
  std::string line;
  for (std::uint64_t i = 0; i < Kept.LineCount(form, upTo); ++i) {
    line.clear();
    const RxHistory::LineInfo info = Kept.AppendLine(form, i, line, upTo);
    if (Logs.Timestamps) {
      text += StampText(info.MsOfDay);
    }
    text += line;
    text += "\r\n";
  }
  return text;
}

void ReceivePath::SetHistoryLimits(HistoryLimits limits) {
  Kept.SetLimits(limits);
  if (!IsFrozen) {
    UpDateRxDisplayDebug();
  }
}

void ReceivePath::SetTimestamps(bool on) {
  Logs.Timestamps = on;
  View.SetTimestampsShown(on);
}

void ReceivePath::LogRxHex(std::string_view thisLot) {
  if (!Logs.LogHex) {
    // The rows go on where they would have: a log ticked later breaks where it always did.
    Column = static_cast<std::int16_t>((Column + thisLot.size() % kHexPairsPerLine) % kHexPairsPerLine);
    return;
  }
  HexForLog(thisLot);
  Logs.HexFile.AppendLater(Logs.HexFileName, HexScratch);
}

void ReceivePath::ClearPane() {
  Kept.Clear();
  FrozenEnd = Kept.EndByte();  // while frozen, what arrives after the clear stays unseen too
  Column = 0;                  // the hex log's next row starts afresh, as the view's do
  UpDateRxDisplayDebug();
}

void ReceivePath::ToggleFreeze() {
  if (!IsFrozen) {
    IsFrozen = true;
    FrozenEnd = Kept.EndByte();
    View.SetFreezeCaption(kUpdateCaption);
  } else {
    // Live again: what came while frozen is shown at once, not only with the next chunk.
    IsFrozen = false;
    View.SetFreezeCaption(kFreezeCaption);
    UpDateRxDisplayDebug();
  }
}

void ReceivePath::ShowAscii() {
  Selected = RxViewOption::Ascii;
  UpDateRxDisplayDebug();
}

void ReceivePath::ShowHex() {
  Selected = RxViewOption::Hex;
  UpDateRxDisplayDebug();
}

}  // namespace korvani::terminal
