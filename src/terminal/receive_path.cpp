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

ReceivePath::ReceivePath(SerialPort& port, RxPaneView& view, ChunkSink hmiSink)
    : Port(port), View(view), HmiSink(std::move(hmiSink)) {}

void ReceivePath::OnPortEvent(int eventCode) {
  if (Port.BytesWaiting() >= Port.Capacity()) {
    ResetPort();
  }
  switch (eventCode) {
    case kEventReceive:
      ReadTerminalInput();
      break;
    case kEventSendBufferLow:
    case kEventCtsChange:
    case kEventDsrChange:
    case kEventCdChange:
    case kEventRing:
    case kEventEndOfFile:  // nothing to do
      break;
    default:  // error events and unknown codes alike
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
  ArrivalMs = Time != nullptr ? base::MsOfDay(Time->Now()) : 0;
  Kept.Add(thisLot, ArrivalMs);
  AsciiScratch.clear();
  base::AppendAsciiToDisplay(AsciiScratch, thisLot);
  AsciiText.AppendKeepingLast(AsciiScratch, kRxAsciiLimit);
  LogRxAscii(AsciiScratch);

  AppendHex(thisLot);
  LogRxHex(HexScratch);
  TrimHexText();

  if (!IsFrozen) {
    SnapshotIsLive = true;
    AsciiShown.clear();
    HexShown.clear();
    UpDateRxDisplayDebug();
  }

  if (HmiSink) {
    HmiSink(thisLot);
  }
}

void ReceivePath::AppendHex(std::string_view thisLot) {
  if (HexText.Empty()) {
    Column = 0;
  }
  // Sized for the most the chunk can need (and the table's slack byte), written in place a
  // line's run at a time, then cut to what was written.
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
  HexText.Append(HexScratch);
}

// Dropping whole leading lines until the text fits, computed once for the chunk: the cut is
// the end of the first line break that lies at or beyond the excess, or the excess itself
// when no such break remains.
void ReceivePath::TrimHexText() {
  const std::size_t size = HexText.Size();
  if (size <= kRxHexLimit) {
    return;
  }
  const std::size_t excess = size - kRxHexLimit;
  const std::string_view text = HexText.View();
  const std::size_t from = excess >= 2 ? excess - 2 : 0;
  const std::size_t lineBreak = text.find("\r\n", from);
  HexText.DropFront(lineBreak == std::string_view::npos ? excess : lineBreak + 2);
}

std::string_view ReceivePath::RxAsciiShown() const {
  return SnapshotIsLive ? AsciiText.View() : std::string_view(AsciiShown);
}

std::string_view ReceivePath::RxHexShown() const {
  return SnapshotIsLive ? HexText.View() : std::string_view(HexShown);
}

void ReceivePath::UpDateRxDisplayDebug() {
  View.ShowRxText(ShownText());
}

std::string_view ReceivePath::ShownText() const {
  return Selected == RxViewOption::Ascii ? RxAsciiShown() : RxHexShown();
}

void ReceivePath::LogRxAscii(std::string_view text) {
  if (Logs.LogAscii) {
    Logs.AsciiFile.Append(Logs.AsciiFileName,
                          Logs.AsciiLogText(text, ArrivalMs));  // a failed write is skipped
  }
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

std::string ReceivePath::ViewText() const {
  const HistoryForm form = Selected == RxViewOption::Ascii ? HistoryForm::Ascii : HistoryForm::Hex;
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

void ReceivePath::SetTimestamps(bool on) {
  Logs.Timestamps = on;
  View.SetTimestampsShown(on);
}

void ReceivePath::LogRxHex(std::string_view text) {
  if (Logs.LogHex) {
    Logs.HexFile.Append(Logs.HexFileName, text);
  }
}

void ReceivePath::ClearPane() {
  Kept.Clear();
  FrozenEnd = Kept.EndByte();  // while frozen, what arrives after the clear stays unseen too
  AsciiText.Clear();
  HexText.Clear();
  AsciiShown.clear();
  HexShown.clear();
  // Both snapshots are empty now; while frozen they must stay empty as data arrives.
  SnapshotIsLive = !IsFrozen;
  View.ShowRxText({});
}

void ReceivePath::ToggleFreeze() {
  if (!IsFrozen) {
    if (SnapshotIsLive) {
      AsciiShown.assign(AsciiText.View());
      HexShown.assign(HexText.View());
      SnapshotIsLive = false;
    }
    IsFrozen = true;
    FrozenEnd = Kept.EndByte();
    View.SetFreezeCaption(kUpdateCaption);
  } else {
    // Live again; nothing is redrawn until the next chunk.
    IsFrozen = false;
    View.SetFreezeCaption(kFreezeCaption);
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
