// SPDX-License-Identifier: GPL-3.0-or-later
// What the receive view shows: the bytes received (and, while "Show sent" is on, sent), kept
// once as they came, with the time each piece arrived. Lines are made on demand in the form
// asked for, the ASCII view's (a line per line end) or the hex view's (25 bytes a row), so
// showing costs what is visible, never what is kept. When the history is full the oldest
// lines go first; a byte cap, which counts what each line's entry costs too, bounds memory
// whatever the line length (beyond it: at most two blocks of 64 KB).
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace korvani::terminal {

// Note: a line the program puts among them (a log divider), shown as text in either form.
enum class Direction : std::uint8_t { Received, Sent, Note };
enum class HistoryForm { Ascii, Hex };

struct HistoryLimits {
  std::uint64_t Lines = 1000000;
  std::uint64_t Bytes = 160000000;
  // So many lines, and 160 bytes a line on average at most (at least 20,000 bytes in all).
  static HistoryLimits ForLines(std::uint64_t lines) {
    return {lines, std::max<std::uint64_t>(lines * 160, 20000)};
  }
};

// "HH:MM:SS.mmm " for a time of day in milliseconds, the stamp a line starts with.
std::string StampText(std::int32_t msOfDay);
inline constexpr std::size_t kStampLength = 13;

// Where lines start in a text that comes in pieces: after LF, or after a CR that no LF
// follows, and, when a longest line is given, after so many bytes without either. Which line
// a piece's first character belongs to is known only once it comes, so a CR at the end of a
// piece waits. The text is walked a line at a time, not a byte at a time.
class LineWalker {
 public:
  explicit LineWalker(std::size_t longest = std::string_view::npos) : Longest(longest) {}
  // Calls `lineStarts(offset)` for each line that starts in the text.
  template <typename LineStarts>
  void Walk(std::string_view text, LineStarts&& lineStarts);
  // Between lines, as at the start.
  void Reset() {
    LineOpen = false;
    PendingCr = false;
  }

 private:
  std::size_t Longest;
  std::size_t OpenLength = 0;  // the bytes of the open line so far
  bool LineOpen = false;       // the last line has no line end yet
  bool PendingCr = false;      // the last byte was a CR: the line ends after it unless an LF follows
};

// Puts a stamp before every line of a text written in pieces (a log): after each line end,
// as the view's lines start (the view also starts a line after 4096 bytes without an end; a
// log's line goes on).
class LineStamper {
 public:
  void Stamp(std::string_view text, std::string_view stamp, std::string& out);

 private:
  LineWalker Walker;
};

// The longest line the view is given: a longer one goes on as a line of its own, so a board
// that never sends a line end costs a frame no more than one that does.
inline constexpr std::size_t kLongestLine = 4096;

class RxHistory {
 public:
  explicit RxHistory(HistoryLimits limits = {}) : Limits(limits) {}

  // What the byte cap counts besides the bytes: each line's start, each piece of another
  // arrival time and each run of one direction (sent or received) is an entry of this size.
  static constexpr std::uint64_t kLineCost = 16;
  static constexpr std::uint64_t kPieceCost = 16;
  static constexpr std::uint64_t kRunCost = 24;

  // Takes effect at once: a smaller limit drops the oldest lines now.
  void SetLimits(HistoryLimits limits);
  [[nodiscard]] const HistoryLimits& CurrentLimits() const { return Limits; }

  // Bytes that arrived (or went out) at the time of day given, in milliseconds.
  void Add(std::string_view bytes, std::int32_t msOfDay, Direction direction = Direction::Received);
  void Clear();

  // Lines kept in the form, the oldest numbered 0; with `upTo`, only of the bytes before that
  // byte number (a view frozen at EndByte() then shows what it showed, in either form).
  static constexpr std::uint64_t kAll = ~std::uint64_t{0};
  [[nodiscard]] std::uint64_t LineCount(HistoryForm form, std::uint64_t upTo = kAll) const;
  // The number of the byte after the last: what `upTo` takes.
  [[nodiscard]] std::uint64_t EndByte() const { return End; }
  // How many lines of the form were dropped or cleared before the oldest kept one: a view
  // holding a line's place adds this to stay on it while old lines go.
  [[nodiscard]] std::uint64_t LinesBefore(HistoryForm form) const;
  // The line's text in the form, without its line end, appended to `out`; and its arrival
  // time and direction.
  struct LineInfo {
    std::int32_t MsOfDay = 0;
    Direction From = Direction::Received;
  };
  LineInfo AppendLine(HistoryForm form, std::uint64_t index, std::string& out,
                      std::uint64_t upTo = kAll) const;
  [[nodiscard]] std::string LineText(HistoryForm form, std::uint64_t index, std::uint64_t upTo = kAll) const;

  // The nearest line from `from` on (backwards: from `from` back) whose text in the form holds
  // `needle`, and where in it; none when no line does.
  struct Match {
    std::uint64_t Line = 0;
    std::size_t Column = 0;
  };
  [[nodiscard]] std::optional<Match> Find(HistoryForm form, std::string_view needle, std::uint64_t from,
                                          bool forward, bool matchCase, std::uint64_t upTo = kAll) const;

  [[nodiscard]] std::uint64_t ByteCount() const { return End - FirstKept; }

 private:
  struct LineStart {
    std::uint64_t Start;
    std::int32_t MsOfDay;
    Direction From;
  };
  // A run of one direction; its hex rows are 25 bytes each from its start.
  struct Segment {
    std::uint64_t Start;
    std::uint64_t FirstRow;  // the number of its first row among all rows ever made
    Direction From;
  };
  struct Piece {
    std::uint64_t Start;
    std::int32_t MsOfDay;
  };

  void AppendBytes(std::string_view bytes);
  void DropOldest();
  void CopyBytes(std::uint64_t from, std::uint64_t to, std::string& out) const;
  // The bytes from `from` to `to`: where they lie in one block, a view of it; else copied into
  // `scratch`.
  std::string_view Bytes(std::uint64_t from, std::uint64_t to, std::string& scratch) const;
  // The line's text appended to `out`; returns the number of its first byte.
  std::uint64_t AppendText(HistoryForm form, std::uint64_t index, std::string& out, std::uint64_t upTo) const;
  [[nodiscard]] std::uint64_t RowsUpTo(std::uint64_t upTo) const;
  [[nodiscard]] std::uint64_t LineEnd(std::size_t index) const;
  [[nodiscard]] std::uint64_t TotalRows() const;
  [[nodiscard]] std::uint64_t FirstKeptRow() const;
  [[nodiscard]] std::size_t SegmentOfRow(std::uint64_t row) const;
  [[nodiscard]] std::int32_t TimeAt(std::uint64_t byte) const;

  HistoryLimits Limits;
  std::deque<std::string> Blocks;  // the bytes, in blocks of kBlockSize
  std::uint64_t BlocksStart = 0;   // the number of the first block's first byte
  std::uint64_t FirstKept = 0;     // the first byte kept
  std::uint64_t End = 0;           // one past the last byte
  std::deque<LineStart> Lines;
  std::uint64_t LinesDropped = 0;
  std::deque<Segment> Segments;
  std::uint64_t RowsAtClear = 0;  // the hex rows made before the last Clear
  std::deque<Piece> Pieces;
  LineWalker Walker{kLongestLine};
  Direction LastDirection = Direction::Received;
};

template <typename LineStarts>
void LineWalker::Walk(std::string_view text, LineStarts&& lineStarts) {
  // Where the next CR and the next LF lie is looked up once and kept until passed.
  const auto next = [&text](char c, std::size_t from) {
    const std::size_t found = text.find(c, from);
    return found == std::string_view::npos ? text.size() : found;
  };
  std::size_t nextCr = next('\r', 0);
  std::size_t nextLf = next('\n', 0);
  std::size_t at = 0;
  while (at < text.size()) {
    if (PendingCr) {
      PendingCr = false;
      LineOpen = false;
      if (at == nextLf) {  // CR LF: one line end
        nextLf = next('\n', ++at);
        continue;
      }
    }
    if (!LineOpen) {
      lineStarts(at);
      LineOpen = true;
      OpenLength = 0;
    }
    const std::size_t end = std::min(nextCr, nextLf);
    if (end - at > Longest - OpenLength) {  // the line is full before its end comes
      at += Longest - OpenLength;
      LineOpen = false;
      continue;
    }
    if (end == text.size()) {
      OpenLength += end - at;
      return;
    }
    if (end == nextLf) {
      LineOpen = false;
      nextLf = next('\n', end + 1);
    } else {
      PendingCr = true;
      nextCr = next('\r', end + 1);
    }
    at = end + 1;
  }
}

}  // namespace korvani::terminal
