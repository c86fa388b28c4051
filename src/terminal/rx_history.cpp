// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/rx_history.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/hex_notation.h"
#include "base/text.h"

namespace korvani::terminal {

namespace {

constexpr std::uint64_t kBlockSize = std::uint64_t{1} << 16U;
constexpr std::uint64_t kRowBytes = 25;

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string StampText(std::int32_t msOfDay) {
  const int ms = std::clamp(msOfDay, 0, 86399999);
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d ", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60,
                ms % 1000);
  return text;
}

void LineStamper::Stamp(std::string_view text, std::string_view stamp, std::string& out) {
  std::size_t copied = 0;
  Walker.Walk(text, [&](std::size_t lineStart) {
    out.append(text.substr(copied, lineStart - copied));
    out.append(stamp);
    copied = lineStart;
  });
  out.append(text.substr(copied));
}

void RxHistory::SetLimits(HistoryLimits limits) {
  Limits = limits;
  Limits.Lines = std::max<std::uint64_t>(Limits.Lines, 1);
  Limits.Bytes = std::max<std::uint64_t>(Limits.Bytes, 1);
  DropOldest();
}

void RxHistory::Add(std::string_view bytes, std::int32_t msOfDay, Direction direction) {
  if (bytes.empty()) {
    return;
  }
  // A change of direction starts a new line and a new run of hex rows.
  if (Segments.empty() || direction != LastDirection) {
    Segments.push_back({End, TotalRows(), direction});
    Walker.Reset();
  }
  LastDirection = direction;
  if (Pieces.empty() || Pieces.back().MsOfDay != msOfDay) {
    Pieces.push_back({End, msOfDay});
  }
  Walker.Walk(bytes, [&](std::size_t lineStart) { Lines.push_back({End + lineStart, msOfDay, direction}); });
  AppendBytes(bytes);
  DropOldest();
}

void RxHistory::AppendBytes(std::string_view bytes) {
  while (!bytes.empty()) {
    if (Blocks.empty() || Blocks.back().size() == kBlockSize) {
      Blocks.emplace_back();
      Blocks.back().reserve(kBlockSize);
    }
    std::string& block = Blocks.back();
    const std::size_t room = kBlockSize - block.size();
    const std::size_t taken = std::min(room, bytes.size());
    block.append(bytes.substr(0, taken));
    bytes.remove_prefix(taken);
    End += taken;
  }
}

void RxHistory::DropOldest() {
  // What is kept costs its bytes and an entry per line, per piece of arrival time and per run
  // of one direction: a stream of bare line ends, or of single bytes each at another
  // millisecond, costs far more than its bytes, and the cap holds for it too.
  const auto entries = [this] {
    return Lines.size() * kLineCost + Pieces.size() * kPieceCost + Segments.size() * kRunCost;
  };
  const auto dropBefore = [this](std::uint64_t first) {
    while (Pieces.size() > 1 && Pieces[1].Start <= first) {
      Pieces.pop_front();
    }
    while (Segments.size() > 1 && Segments[1].Start <= first) {
      Segments.pop_front();
    }
  };
  while (!Lines.empty() &&
         (Lines.size() > Limits.Lines || End - Lines.front().Start + entries() > Limits.Bytes)) {
    if (Lines.size() == 1) {
      // One line longer than the cap: its newest part.
      const std::uint64_t room = Limits.Bytes > entries() ? Limits.Bytes - entries() : 0;
      Lines.front().Start = End - std::min(room, End - Lines.front().Start);
      dropBefore(Lines.front().Start);
      break;
    }
    Lines.pop_front();
    ++LinesDropped;
    dropBefore(Lines.front().Start);
  }
  FirstKept = Lines.empty() ? End : Lines.front().Start;
  dropBefore(FirstKept);
  while (Blocks.size() > 1 && BlocksStart + Blocks.front().size() <= FirstKept) {
    BlocksStart += Blocks.front().size();
    Blocks.pop_front();
  }
}

void RxHistory::Clear() {
  RowsAtClear = TotalRows();
  LinesDropped += Lines.size();
  Lines.clear();
  Segments.clear();
  Pieces.clear();
  Blocks.clear();
  BlocksStart = End;
  FirstKept = End;
  Walker.Reset();
}

std::uint64_t RxHistory::TotalRows() const {
  if (Segments.empty()) {
    return RowsAtClear;
  }
  const Segment& last = Segments.back();
  return last.FirstRow + (End - last.Start + kRowBytes - 1) / kRowBytes;
}

std::uint64_t RxHistory::FirstKeptRow() const {
  if (Segments.empty()) {
    return RowsAtClear;
  }
  const Segment& first = Segments.front();
  return first.FirstRow + (FirstKept - first.Start) / kRowBytes;
}

std::uint64_t RxHistory::LineCount(HistoryForm form, std::uint64_t upTo) const {
  if (upTo >= End) {
    return form == HistoryForm::Ascii ? Lines.size() : TotalRows() - FirstKeptRow();
  }
  if (form == HistoryForm::Ascii) {
    const auto after =
        std::lower_bound(Lines.begin(), Lines.end(), upTo,
                         [](const LineStart& line, std::uint64_t byte) { return line.Start < byte; });
    return static_cast<std::uint64_t>(after - Lines.begin());
  }
  const std::uint64_t rows = RowsUpTo(upTo);
  return rows > FirstKeptRow() ? rows - FirstKeptRow() : 0;
}

// The rows that hold a byte before `upTo`, counted as TotalRows counts.
std::uint64_t RxHistory::RowsUpTo(std::uint64_t upTo) const {
  const auto after = std::lower_bound(Segments.begin(), Segments.end(), upTo,
                                      [](const Segment& s, std::uint64_t byte) { return s.Start < byte; });
  if (after == Segments.begin()) {
    return Segments.empty() ? RowsAtClear : Segments.front().FirstRow;
  }
  const Segment& segment = *std::prev(after);
  return segment.FirstRow + (upTo - segment.Start + kRowBytes - 1) / kRowBytes;
}

std::uint64_t RxHistory::LinesBefore(HistoryForm form) const {
  return form == HistoryForm::Ascii ? LinesDropped : FirstKeptRow();
}

std::uint64_t RxHistory::LineEnd(std::size_t index) const {
  return index + 1 < Lines.size() ? Lines[index + 1].Start : End;
}

std::size_t RxHistory::SegmentOfRow(std::uint64_t row) const {
  const auto after = std::upper_bound(Segments.begin(), Segments.end(), row,
                                      [](std::uint64_t r, const Segment& s) { return r < s.FirstRow; });
  return static_cast<std::size_t>(after - Segments.begin()) - 1;
}

std::int32_t RxHistory::TimeAt(std::uint64_t byte) const {
  const auto after = std::upper_bound(Pieces.begin(), Pieces.end(), byte,
                                      [](std::uint64_t b, const Piece& p) { return b < p.Start; });
  return after == Pieces.begin() ? 0 : std::prev(after)->MsOfDay;
}

std::string_view RxHistory::Bytes(std::uint64_t from, std::uint64_t to, std::string& scratch) const {
  const std::uint64_t offset = from - BlocksStart;
  const std::string& block = Blocks[static_cast<std::size_t>(offset / kBlockSize)];
  const std::size_t inBlock = static_cast<std::size_t>(offset % kBlockSize);
  if (to - from <= block.size() - inBlock) {
    return std::string_view(block).substr(inBlock, static_cast<std::size_t>(to - from));
  }
  scratch.clear();
  CopyBytes(from, to, scratch);
  return scratch;
}

void RxHistory::CopyBytes(std::uint64_t from, std::uint64_t to, std::string& out) const {
  while (from < to) {
    const std::uint64_t offset = from - BlocksStart;
    const std::string& block = Blocks[static_cast<std::size_t>(offset / kBlockSize)];
    const std::size_t inBlock = static_cast<std::size_t>(offset % kBlockSize);
    const std::size_t count =
        static_cast<std::size_t>(std::min<std::uint64_t>(to - from, block.size() - inBlock));
    out.append(block, inBlock, count);
    from += count;
  }
}

RxHistory::LineInfo RxHistory::AppendLine(HistoryForm form, std::uint64_t index, std::string& out,
                                          std::uint64_t upTo) const {
  const std::uint64_t start = AppendText(form, index, out, upTo);
  if (form == HistoryForm::Ascii) {
    const LineStart& line = Lines[static_cast<std::size_t>(index)];
    return {line.MsOfDay, line.From};
  }
  return {TimeAt(start), Segments[SegmentOfRow(FirstKeptRow() + index)].From};
}

std::uint64_t RxHistory::AppendText(HistoryForm form, std::uint64_t index, std::string& out,
                                    std::uint64_t upTo) const {
  thread_local std::string scratch;
  if (form == HistoryForm::Ascii) {
    const auto i = static_cast<std::size_t>(index);
    std::string_view line =
        Bytes(Lines[i].Start, std::max(std::min(LineEnd(i), upTo), Lines[i].Start), scratch);
    if (!line.empty() && line.back() == '\n') {
      line.remove_suffix(1);
    }
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    base::AppendAsciiToDisplay(out, line);
    return Lines[i].Start;
  }
  const std::uint64_t row = FirstKeptRow() + index;
  const std::size_t s = SegmentOfRow(row);
  const Segment& segment = Segments[s];
  const std::uint64_t segmentEnd = s + 1 < Segments.size() ? Segments[s + 1].Start : End;
  const std::uint64_t start = std::max(segment.Start + (row - segment.FirstRow) * kRowBytes, FirstKept);
  const std::uint64_t end =
      std::min({segment.Start + (row - segment.FirstRow + 1) * kRowBytes, segmentEnd, std::max(upTo, start)});
  const std::string_view bytes = Bytes(start, end, scratch);
  if (segment.From == Direction::Note) {
    base::AppendAsciiToDisplay(out, bytes);  // the program's own words, not the line's bytes
    return start;
  }
  const std::size_t at = out.size();
  out.resize(at + bytes.size() * 3 + 1);  // the table writes four bytes for three
  char* write = out.data() + at;
  for (const char c : bytes) {
    std::memcpy(write, base::kHexPairAndSpace[static_cast<unsigned char>(c)].data(), 4);
    write += 3;
  }
  out.resize(at + bytes.size() * 3);
  return start;
}

std::string RxHistory::LineText(HistoryForm form, std::uint64_t index, std::uint64_t upTo) const {
  std::string text;
  AppendText(form, index, text, upTo);
  return text;
}

std::optional<RxHistory::Match> RxHistory::Find(HistoryForm form, std::string_view needle, std::uint64_t from,
                                                bool forward, bool matchCase, std::uint64_t upTo) const {
  const std::uint64_t count = LineCount(form, upTo);
  if (needle.empty() || count == 0) {
    return std::nullopt;
  }
  std::string wanted(needle);
  if (!matchCase && form == HistoryForm::Hex) {
    // The hex form has no small letters: the needle in capitals is found as it stands.
    wanted = base::UpperCase(needle);
    matchCase = true;
  }
  if (!matchCase) {
    std::transform(wanted.begin(), wanted.end(), wanted.begin(), Lower);
  }
  std::string text;
  for (std::uint64_t i = std::min(from, count - 1);; forward ? ++i : --i) {
    if (i >= count) {
      return std::nullopt;
    }
    text.clear();
    AppendText(form, i, text, upTo);
    if (!matchCase) {
      std::transform(text.begin(), text.end(), text.begin(), Lower);
    }
    const std::size_t column = text.find(wanted);
    if (column != std::string::npos) {
      return Match{i, column};
    }
    if (!forward && i == 0) {
      return std::nullopt;
    }
  }
}

}  // namespace korvani::terminal
