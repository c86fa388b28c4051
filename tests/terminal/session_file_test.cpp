// SPDX-License-Identifier: GPL-3.0-or-later
// Recording a session and playing it back: the file's exact layout (the user guide documents
// it for readers of its own), what a reader refuses, and the replay's pace.
#include "terminal/session_file.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "fakes/fake_serial_port.h"
#include "fakes/temp_folder.h"
#include "terminal/replay_port.h"

namespace korvani::terminal {
namespace {

std::string LittleEndian(std::uint64_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) {
    out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  }
  return out;
}

std::vector<SessionPiece> ReadPieces(const std::string& path) {
  SessionReader reader;
  std::string why;
  EXPECT_TRUE(reader.Open(path, why)) << why;
  std::vector<SessionPiece> pieces;
  while (std::optional<SessionPiece> piece = reader.Next()) {
    pieces.push_back(*piece);
  }
  return pieces;
}

class SessionFileTest : public ::testing::Test {
 protected:
  fakes::TempFolder Folder;
  std::string Path = Folder.File("session.kvr");
  std::int64_t Now = 5'000'000;  // microseconds of a steady clock
};

TEST_F(SessionFileTest, ARecordingHoldsBothDirectionsWithTheirTimesInTheDocumentedLayout) {
  fakes::FakeSerialPort port;
  port.SetOpen(true);
  std::string stopped;
  RecordingPort recorder(
      port, [this] { return Now; }, [&stopped](const std::string& why) { stopped = why; });
  int events = 0;
  recorder.SetEventHandler([&events](ports::PortEvent) { ++events; });

  port.Arrive("before");  // not recorded: no recording runs yet
  EXPECT_EQ(recorder.ReadInput(), "before");
  ASSERT_EQ(recorder.Start(Path, {{"started", "2026-12-08 14:03:11"}}), "");
  Now += 1500;
  port.Arrive(std::string("\x01V40\x02\0\xff", 7));
  EXPECT_EQ(recorder.ReadInput(), std::string("\x01V40\x02\0\xff", 7));
  Now += 70'000;
  EXPECT_TRUE(recorder.Write("OK\x04"));
  port.Open = false;
  EXPECT_FALSE(recorder.Write("lost")) << "what did not go out is not recorded";
  recorder.Stop();
  port.Arrive("after");
  recorder.ReadInput();
  EXPECT_EQ(events, 3) << "the port's events pass through";

  const std::string expected = std::string("Korvani session 1\nstarted: 2026-12-08 14:03:11\n\n") + "R" +
                               LittleEndian(1500, 8) + LittleEndian(7, 4) +
                               std::string("\x01V40\x02\0\xff", 7) + "S" + LittleEndian(71'500, 8) +
                               LittleEndian(3, 4) + "OK\x04";
  EXPECT_EQ(Folder.Read("session.kvr"), expected);
  EXPECT_EQ(ReadPieces(Path),
            (std::vector<SessionPiece>{{Direction::Received, 1500, std::string("\x01V40\x02\0\xff", 7)},
                                       {Direction::Sent, 71'500, "OK\x04"}}));
  EXPECT_EQ(stopped, "");

  // A write longer than the longest record (an unpaced paste of a large clipboard) is cut
  // into records the reader takes, at one time, and reads back whole.
  port.Open = true;
  ASSERT_EQ(recorder.Start(Path, {}), "");
  const std::string large(kLongestSessionPiece + 5, 'p');
  EXPECT_TRUE(recorder.Write(large));
  recorder.Stop();
  const std::vector<SessionPiece> pieces = ReadPieces(Path);
  ASSERT_EQ(pieces.size(), 2U);
  EXPECT_EQ(pieces[0].Bytes.size() + pieces[1].Bytes.size(), large.size());
  EXPECT_EQ(pieces[0].Microseconds, pieces[1].Microseconds);

  EXPECT_EQ(recorder.Start(Folder.File("no such folder/x.kvr"), {}),
            Folder.File("no such folder/x.kvr") + ": cannot be written");
  EXPECT_FALSE(recorder.Recording());
}

struct ReaderCase {
  std::string Name;
  std::string File;
  std::string Why;         // empty when it opens
  std::size_t Pieces = 0;  // read when it opens
  std::string Damage;      // what the reader says after the last piece
};

TEST_F(SessionFileTest, AReaderTakesItsVersionsRefusesTheRestAndSaysWhereDamageLies) {
  const std::string piece = FormatSessionPiece({Direction::Received, 10, "abc"});
  const std::string header = FormatSessionHeader({});  // 19 bytes; a piece is 16
  const std::vector<ReaderCase> cases = {
      {"current", FormatSessionHeader({{"port", "COM220"}}) + piece + piece, "", 2, ""},
      {"unknown facts and no colon", "Korvani session 1\nwhat: ever\nno colon\n\n" + piece, "", 1, ""},
      {"cut short in its last record", header + piece + piece.substr(0, 15), "", 1,
       "record 2 at byte 35 is cut short"},
      {"cut short in its last record's head", header + piece + piece.substr(0, 5), "", 1,
       "record 2 at byte 35 is cut short"},
      {"a bad direction ends it", header + piece + "X" + piece.substr(1) + piece, "", 1,
       "record 2 at byte 35 is no record"},
      {"a length past the file's end ends it",
       header + piece + FormatSessionPiece({Direction::Sent, 20, "xyz"}).substr(0, 9) +
           std::string("\xff\xff\xff\x00", 4) + "xyz",
       "", 1, "record 2 at byte 35 is cut short"},
      {"newer", "Korvani session 2\n\n" + piece,
       ": a recording of format 2, newer than this program reads (1)", 0, ""},
      {"not one", "date,time\n1,2\n", ": not a Korvani session recording", 0, ""},
      {"zeros, no line end", std::string(100'000, '\0'), ": not a Korvani session recording", 0, ""},
      {"no end to the header", "Korvani session 1\nstarted: now\n", ": the recording's header has no end", 0,
       ""},
      {"a header past its limit", "Korvani session 1\n" + std::string(100'000, 'x') + "\n\n" + piece,
       ": the recording's header has no end within 4 KB", 0, ""},
  };
  for (const ReaderCase& c : cases) {
    Folder.Write("case.kvr", c.File);
    SessionReader reader;
    std::string why;
    const bool opened = reader.Open(Folder.File("case.kvr"), why);
    EXPECT_EQ(opened ? "" : why, c.Why.empty() ? "" : Folder.File("case.kvr") + c.Why) << c.Name;
    std::size_t pieces = 0;
    while (opened && reader.Next()) {
      ++pieces;
    }
    EXPECT_EQ(pieces, c.Pieces) << c.Name;
    EXPECT_EQ(reader.Damage(), c.Damage) << c.Name;
  }
  SessionReader reader;
  std::string why;
  EXPECT_FALSE(reader.Open(Folder.Path.string(), why)) << "a folder";
  EXPECT_EQ(why, Folder.Path.string() + ": not a file");
}

class ReplayPortTest : public SessionFileTest {
 protected:
  ReplayPortTest() {
    Folder.Write("session.kvr", FormatSessionHeader({}) + FormatSessionPiece({Direction::Received, 0, "A"}) +
                                    FormatSessionPiece({Direction::Received, 100'000, "B"}) +
                                    FormatSessionPiece({Direction::Sent, 150'000, "panel"}) +
                                    FormatSessionPiece({Direction::Received, 300'000, "C"}));
    Replay.SetEventHandler([this](ports::PortEvent event) {
      if (event == ports::PortEvent::Received) {
        Arrived.push_back({Now / 1000, Replay.ReadInput()});
        Stamped.push_back(Replay.ArrivedAt(Now) / 1000);
      }
    });
    Replay.SetPortNumber(254);
  }

  // Lets time pass, a millisecond at a time, on the clock and the timer alike.
  void Advance(int milliseconds) {
    for (int i = 0; i < milliseconds; ++i) {
      Now += 1000;
      Timer->Advance(1);
    }
  }

  std::string File = Path;
  fakes::FakeTimer* Timer = new fakes::FakeTimer;
  ReplayPort Replay{std::unique_ptr<base::Timer>(Timer), [this](std::int16_t) { return File; },
                    [this] { return Now; }};
  std::vector<std::pair<std::int64_t, std::string>> Arrived;  // when (ms), what
  std::vector<std::int64_t> Stamped;                          // the time each came with (ms)
};

TEST_F(ReplayPortTest, TheBoardsBytesComeAtTheRecordedPaceOrFasterAndTheSentGoNowhere) {
  using Arrivals = std::vector<std::pair<std::int64_t, std::string>>;
  for (const auto& [speed, expected] :
       std::vector<std::pair<double, Arrivals>>{{1.0, {{10, "A"}, {100, "B"}, {300, "C"}}},
                                                {2.0, {{10, "A"}, {50, "B"}, {150, "C"}}},
                                                {0.0, {{10, "A"}, {10, "B"}, {10, "C"}}}}) {
    Arrived.clear();
    Stamped.clear();
    Replay.SetSpeed(speed);
    ASSERT_TRUE(Replay.SetOpen(true));
    EXPECT_EQ(Replay.Line(), nullptr);
    EXPECT_TRUE(Replay.Write("goes nowhere"));
    const std::int64_t opened = Now / 1000;
    Advance(400);
    for (auto& [when, what] : Arrived) {
      when -= opened;
    }
    EXPECT_EQ(Arrived, expected) << "speed " << speed;
    for (std::int64_t& stamp : Stamped) {
      stamp -= opened;
    }
    // At any speed each lot carries the time it was recorded at (a plot keeps its time axis).
    EXPECT_EQ(Stamped, (std::vector<std::int64_t>{0, 100, 300})) << "speed " << speed;
    EXPECT_EQ(Replay.LastError(), "the replay came to its end (3 bytes)");
    EXPECT_FALSE(Replay.HoldsFile()) << "the file is let go once it is done with";
    Replay.SetOpen(false);  // every opening plays it from its start
  }
  EXPECT_FALSE(Replay.Write("x")) << "closed";
}

// A reader may open the port again while a tick hands it a lot: the replay starts over.
TEST_F(ReplayPortTest, AReaderThatReopensThePortHearsItFromTheStart) {
  bool reopened = false;
  Replay.SetEventHandler([&](ports::PortEvent event) {
    if (event == ports::PortEvent::Received) {
      Arrived.push_back({0, Replay.ReadInput()});
      if (!reopened) {
        reopened = true;
        Replay.SetOpen(false);
        Replay.SetOpen(true);
      }
    }
  });
  Replay.SetSpeed(0);
  ASSERT_TRUE(Replay.SetOpen(true));
  Advance(40);
  std::vector<std::string> what;
  for (const auto& [when, bytes] : Arrived) {
    what.push_back(bytes);
  }
  EXPECT_EQ(what, (std::vector<std::string>{"A", "A", "B", "C"}));
}

TEST_F(ReplayPortTest, ADamagedRecordingSaysWhereTheReplayStopped) {
  Folder.Write("session.kvr", FormatSessionHeader({}) + FormatSessionPiece({Direction::Received, 0, "A"}) +
                                  "?" + FormatSessionPiece({Direction::Received, 0, "B"}));
  Replay.SetSpeed(0);
  ASSERT_TRUE(Replay.SetOpen(true));
  Advance(20);
  EXPECT_EQ(Replay.LastError(),
            "the recording is damaged: record 2 at byte 33 is no record; the replay stopped there (1 bytes)");
}

// A time far beyond the one before (a damaged field) is said and skipped, not waited out.
// One damaged time costs one step of the pace, not the pace of everything after it.
TEST_F(ReplayPortTest, AnImplausiblePauseIsSaidAndSkipped) {
  using Arrivals = std::vector<std::pair<std::int64_t, std::string>>;
  constexpr std::int64_t kFar = 40'000'000'000'000;
  for (const auto& [times, expected] : std::vector<std::pair<std::vector<std::int64_t>, Arrivals>>{
           {{0, kFar, kFar + 100'000}, {{10, "AB"}, {100, "C"}}},        // the rest comes after it
           {{0, kFar, 200'000, 300'000}, {{10, "ABC"}, {100, "D"}}}}) {  // one time alone damaged
    std::string recording = FormatSessionHeader({});
    for (std::size_t i = 0; i < times.size(); ++i) {
      recording +=
          FormatSessionPiece({Direction::Received, times[i], std::string(1, static_cast<char>('A' + i))});
    }
    Folder.Write("session.kvr", recording);
    Arrived.clear();
    ASSERT_TRUE(Replay.SetOpen(true));
    const std::int64_t opened = Now / 1000;
    Advance(50);
    EXPECT_EQ(Replay.LastError().substr(0, 44), "the recording has a pause of 40000000 s (a d");
    Advance(150);
    for (auto& [when, what] : Arrived) {
      when -= opened;
    }
    EXPECT_EQ(Arrived, expected);
    Replay.SetOpen(false);
  }
}

TEST_F(ReplayPortTest, ARecordingThatCannotBePlayedSaysWhy) {
  File = Folder.File("missing.kvr");
  EXPECT_FALSE(Replay.SetOpen(true));
  EXPECT_EQ(Replay.LastError(), File + ": cannot be read");
  File.clear();
  EXPECT_FALSE(Replay.SetOpen(true));
  EXPECT_EQ(Replay.LastError(), "COM254 has no recording to replay");
  EXPECT_FALSE(Replay.IsOpen());
}

}  // namespace
}  // namespace korvani::terminal
