// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/rx_history.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/hex_notation.h"
#include "terminal/scrollback.h"

namespace korvani::terminal {
namespace {

// The lines the ASCII view shows for a stream: cut at CR LF, lone CR and lone LF, and after
// the longest line's bytes without one, each in the ASCII form; and the hex rows, 25 pairs each.
std::vector<std::string> PaneLines(std::string_view stream) {
  std::vector<std::string> lines;
  std::string raw;
  bool open = false;
  for (std::size_t i = 0; i < stream.size(); ++i) {
    const char c = stream[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(base::AsciiToDisplay(raw));
      raw.clear();
      open = false;
      if (c == '\r' && i + 1 < stream.size() && stream[i + 1] == '\n') {
        ++i;
      }
      continue;
    }
    if (raw.size() == kLongestLine) {
      lines.push_back(base::AsciiToDisplay(raw));
      raw.clear();
    }
    raw += c;
    open = true;
  }
  if (open) {
    lines.push_back(base::AsciiToDisplay(raw));  // a stream ending in a line end has no open line
  }
  return lines;
}

std::vector<std::string> HexRows(std::string_view stream) {
  std::vector<std::string> rows;
  for (std::size_t i = 0; i < stream.size(); ++i) {
    if (i % 25 == 0) {
      rows.emplace_back();
    }
    base::AppendHexPair(rows.back(), static_cast<unsigned char>(stream[i]));
    rows.back() += ' ';
  }
  return rows;
}

std::vector<std::string> HistoryLines(const RxHistory& history, HistoryForm form,
                                      std::uint64_t upTo = RxHistory::kAll) {
  std::vector<std::string> lines;
  for (std::uint64_t i = 0; i < history.LineCount(form, upTo); ++i) {
    lines.push_back(history.LineText(form, i, upTo));
  }
  return lines;
}

TEST(RxHistoryTest, LinesAreThePanesWhateverTheChunking) {
  const std::string streams[] = {
      "one\r\ntwo\rthree\nfour",
      "\r\r\n\n\r",
      std::string("bin\x00\x01\x7F\x80\xFF\r\n", 11) + std::string(60, 'x') + "\r",
      "ends in CR LF\r\n",
      "",
      // Lines longer than the longest: cut, and a line end just after a full line is its own.
      std::string(kLongestLine * 2 + 3, 'y') + "\n" + std::string(kLongestLine, 'z') + "\r\nw" +
          std::string(kLongestLine, 'v') + "\r",
  };
  std::mt19937 random(7);
  for (const std::string& stream : streams) {
    SCOPED_TRACE(base::AsciiToDisplay(stream));
    // Every cut into two chunks, and random chunkings.
    // Every byte of a short stream, and of a long one those around the longest line's edges.
    std::vector<std::size_t> places;
    for (std::size_t at = 0; at <= stream.size(); ++at) {
      const std::size_t fromEdge = std::min(at % kLongestLine, kLongestLine - at % kLongestLine);
      if (stream.size() < 100 || fromEdge < 3 || at % 997 == 0 || at + 3 > stream.size()) {
        places.push_back(at);
      }
    }
    std::vector<std::vector<std::size_t>> chunkings;
    for (const std::size_t cut : places) {
      chunkings.push_back({cut, stream.size() - cut});
    }
    for (int n = 0; n < 20; ++n) {
      std::vector<std::size_t> sizes;
      for (std::size_t left = stream.size(); left > 0;) {
        const std::size_t size = std::min<std::size_t>(left, 1 + random() % (stream.size() < 100 ? 5 : 500));
        sizes.push_back(size);
        left -= size;
      }
      chunkings.push_back(sizes);
    }
    for (const auto& sizes : chunkings) {
      RxHistory history;
      std::size_t at = 0;
      for (const std::size_t size : sizes) {
        history.Add(std::string_view(stream).substr(at, size), 1000);
        at += size;
      }
      ASSERT_EQ(HistoryLines(history, HistoryForm::Ascii), PaneLines(stream));
      ASSERT_EQ(HistoryLines(history, HistoryForm::Hex), HexRows(stream));
    }
    // Frozen at any byte, both forms show the stream as it was then.
    RxHistory history;
    history.Add(stream, 0);
    for (const std::size_t upTo : places) {
      const std::string then = stream.substr(0, upTo);
      ASSERT_EQ(HistoryLines(history, HistoryForm::Ascii, upTo), PaneLines(then)) << upTo;
      ASSERT_EQ(HistoryLines(history, HistoryForm::Hex, upTo), HexRows(then)) << upTo;
    }
  }
}

TEST(RxHistoryTest, TheOldestLinesGoFirstAndTheCountOfThoseGoneIsKept) {
  RxHistory history({.Lines = 3, .Bytes = 1000});
  for (int i = 0; i < 10; ++i) {
    history.Add("line " + std::to_string(i) + "\n", i);
  }
  EXPECT_EQ(HistoryLines(history, HistoryForm::Ascii),
            (std::vector<std::string>{"line 7", "line 8", "line 9"}));
  EXPECT_EQ(history.LinesBefore(HistoryForm::Ascii), 7U);
  EXPECT_EQ(history.ByteCount(), 21U);
  // The hex rows keep their places in the stream: line 7 starts at byte 49, the last of the
  // second row of 25, so the first kept row holds that byte alone.
  EXPECT_EQ(
      HistoryLines(history, HistoryForm::Hex),
      (std::vector<std::string>{"6C ", "69 6E 65 20 37 0A 6C 69 6E 65 20 38 0A 6C 69 6E 65 20 39 0A "}));
  EXPECT_EQ(history.LinesBefore(HistoryForm::Hex), 1U);

  // The byte cap holds whatever the line length: a line with no end keeps its newest bytes.
  // (It counts the one line's, piece's and run's entries too.)
  history.SetLimits(
      {.Lines = 3, .Bytes = 8 + RxHistory::kLineCost + RxHistory::kPieceCost + RxHistory::kRunCost});
  EXPECT_EQ(HistoryLines(history, HistoryForm::Ascii), (std::vector<std::string>{"line 9"}));
  history.Add(std::string(100, 'a') + "bcdefgh", 0);
  EXPECT_EQ(history.ByteCount(), 8U);
  EXPECT_EQ(HistoryLines(history, HistoryForm::Ascii), (std::vector<std::string>{"abcdefgh"}));
}

// A stream of bare line ends, or of single bytes each at another millisecond, costs an entry
// per byte: the cap counts it, so "20,000 characters" is about 20,000 bytes for every stream.
TEST(RxHistoryTest, TheByteCapCountsEveryLinesAndPiecesEntry) {
  constexpr std::uint64_t kCap = 20000;
  RxHistory lineEnds(Scrollback{kCap, true}.Limits());
  lineEnds.Add(std::string(100'000, '\n'), 0);
  EXPECT_LE(lineEnds.LineCount(HistoryForm::Ascii) * (1 + RxHistory::kLineCost), kCap);
  EXPECT_GT(lineEnds.LineCount(HistoryForm::Ascii) * (1 + RxHistory::kLineCost), kCap * 9 / 10);

  RxHistory bytes(Scrollback{kCap, true}.Limits());
  for (int ms = 0; ms < 100'000; ++ms) {
    bytes.Add("x", ms);
  }
  EXPECT_LE(bytes.ByteCount() * (1 + RxHistory::kPieceCost), kCap);
}

TEST(RxHistoryTest, SentBytesAreLinesOfTheirOwnWithTheirTimes) {
  RxHistory history;
  history.Add("temp=2", 1000);
  history.Add("1\r\nok", 2000);
  history.Add("V?\r", 3000, Direction::Sent);
  history.Add("\n", 3500, Direction::Sent);
  history.Add(">", 4000);
  history.Add("----- 12:00:05 -----", 5000, Direction::Note);
  const struct {
    const char* Text;
    std::int32_t Ms;
    Direction From;
  } expected[] = {{"temp=21", 1000, Direction::Received},
                  {"ok", 2000, Direction::Received},
                  {"V?", 3000, Direction::Sent},
                  {">", 4000, Direction::Received},
                  {"----- 12:00:05 -----", 5000, Direction::Note}};
  ASSERT_EQ(history.LineCount(HistoryForm::Ascii), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    std::string text;
    const RxHistory::LineInfo info = history.AppendLine(HistoryForm::Ascii, i, text);
    EXPECT_EQ(text, expected[i].Text);
    EXPECT_EQ(info.MsOfDay, expected[i].Ms);
    EXPECT_EQ(info.From, expected[i].From);
  }
  // In hex each run of one direction starts a row; a note stays words.
  EXPECT_EQ(HistoryLines(history, HistoryForm::Hex),
            (std::vector<std::string>{"74 65 6D 70 3D 32 31 0D 0A 6F 6B ", "56 3F 0D 0A ", "3E ",
                                      "----- 12:00:05 -----"}));
  EXPECT_EQ(history.AppendLine(HistoryForm::Hex, 1, *std::make_unique<std::string>()).MsOfDay, 3000);
  EXPECT_EQ(StampText(13 * 3600000 + 5 * 60000 + 9 * 1000 + 42), "13:05:09.042 ");
}

TEST(RxHistoryTest, FindSearchesTheFormShownBothWays) {
  RxHistory history;
  history.Add("alpha\nBeta\x01\nalphabet\n", 0);
  const auto at = [&](HistoryForm form, std::string_view needle, std::uint64_t from, bool forward,
                      bool matchCase) -> std::pair<long, long> {
    const auto match = history.Find(form, needle, from, forward, matchCase);
    return match ? std::pair<long, long>{static_cast<long>(match->Line), static_cast<long>(match->Column)}
                 : std::pair<long, long>{-1, -1};
  };
  EXPECT_EQ(at(HistoryForm::Ascii, "alpha", 0, true, true), std::make_pair(0L, 0L));
  EXPECT_EQ(at(HistoryForm::Ascii, "alpha", 1, true, true), std::make_pair(2L, 0L));
  EXPECT_EQ(at(HistoryForm::Ascii, "alpha", 1, false, true), std::make_pair(0L, 0L));
  EXPECT_EQ(at(HistoryForm::Ascii, "beta", 0, true, true), std::make_pair(-1L, -1L));
  EXPECT_EQ(at(HistoryForm::Ascii, "beta", 0, true, false), std::make_pair(1L, 0L));
  EXPECT_EQ(at(HistoryForm::Ascii, "bet", 2, true, false), std::make_pair(2L, 5L));
  EXPECT_EQ(at(HistoryForm::Ascii, "'01", 0, true, true), std::make_pair(1L, 4L));  // as the view shows it
  EXPECT_EQ(at(HistoryForm::Hex, "0A 42", 0, true, true), std::make_pair(0L, 15L));
  EXPECT_EQ(at(HistoryForm::Hex, "0a 42", 0, true, true), std::make_pair(-1L, -1L));
  EXPECT_EQ(at(HistoryForm::Hex, "0a 42", 0, true, false), std::make_pair(0L, 15L));
  EXPECT_EQ(at(HistoryForm::Ascii, "", 0, true, true), std::make_pair(-1L, -1L));
}

TEST(RxHistoryTest, ClearEmptiesTheViewAndHexRowsStartAgain) {
  RxHistory history;
  history.Add("0123456789", 0);
  history.Clear();
  EXPECT_EQ(history.LineCount(HistoryForm::Ascii), 0U);
  EXPECT_EQ(history.LineCount(HistoryForm::Hex), 0U);
  EXPECT_EQ(history.Find(HistoryForm::Ascii, "1", 0, true, true), std::nullopt);
  history.Add("AB", 0);
  EXPECT_EQ(HistoryLines(history, HistoryForm::Hex), (std::vector<std::string>{"41 42 "}));
  EXPECT_EQ(HistoryLines(history, HistoryForm::Ascii), (std::vector<std::string>{"AB"}));
  EXPECT_EQ(history.LinesBefore(HistoryForm::Ascii), 1U);
}

// What the view keeps as typed on the Settings tab, given with --scrollback or read from the
// settings file; each listed choice reads back as itself.
TEST(ScrollbackTest, TakesLinesOrCharactersWithinTheirRanges) {
  const struct {
    const char* Typed;
    std::optional<Scrollback> Read;
  } cases[] = {
      {"1000000", Scrollback{1000000, false}},
      {" 1,000 lines ", Scrollback{1000, false}},
      {"10,000,000 line", Scrollback{10000000, false}},
      {"20,000 characters", Scrollback{20000, true}},
      {"999", std::nullopt},
      {"10000001", std::nullopt},
      {"19999 characters", std::nullopt},
      {"5000 bytes", std::nullopt},
      {"lines", std::nullopt},
      {"-5000", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseScrollback(c.Typed), c.Read) << c.Typed;
  }
  for (const Scrollback& choice : kScrollbackChoices) {
    EXPECT_EQ(ParseScrollback(choice.Text()), choice) << choice.Text();
    EXPECT_EQ(ReadViewSettingsFile(FormatViewSettingsFile(choice)), choice);
  }
  EXPECT_EQ((Scrollback{20000, true}.Limits().Bytes), 20000U);
}

}  // namespace
}  // namespace korvani::terminal
