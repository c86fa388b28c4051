// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/console.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "fakes/fake_timer.h"

namespace korvani::console {
namespace {

class ConsoleTest : public ::testing::Test {
 protected:
  ConsoleTest() {
    Core.SetSender([this](const std::string& bytes) { Sent += bytes; });
    Core.SetShown(true);
  }

  fakes::FakeTimer PasteTimer;
  std::atomic<int> Wakes{0};
  Console Core{PasteTimer, [this] { ++Wakes; }};
  std::string Sent;
};

TEST_F(ConsoleTest, AnswersGoToTheBoardWhenTheWindowIsWokenAndOnlyThen) {
  Core.Feed("\x1b[3;5H\x1b[6n");
  (void)Core.Emulator();
  EXPECT_GT(Wakes, 0);
  EXPECT_EQ(Sent, "");  // not from the emulating thread
  Core.Woken();
  EXPECT_EQ(Sent, "\x1b[3;5R");
  Core.Woken();
  EXPECT_EQ(Sent, "\x1b[3;5R");

  // Questions that came while the console was out of view are answered by nobody: an answer
  // now would reach the board's shell as typed text.
  Core.SetShown(false);
  Core.Feed("\x1b[6nlate");
  Core.SetShown(true);
  EXPECT_EQ(Core.Emulator().TextOf(2), "    late");
  Core.Woken();
  EXPECT_EQ(Sent, "\x1b[3;5R");
}

// A flood fed while the window's thread paints: every line arrives, in order. Under the
// thread sanitizer this is the test of the two threads' sharing.
TEST_F(ConsoleTest, AFloodIsEmulatedWholeWhilePaintsTakePictures) {
  Core.Resize(10, 40, 11);
  std::string chunk;
  for (int line = 0; line < 40000; ++line) {
    chunk += "\x1b[3" + std::to_string(line % 8) + "mline " + std::to_string(line) + "\r\n";
    if (chunk.size() > 4000) {
      Core.Feed(chunk);
      chunk.clear();
      if (Core.Woken()) {
        const auto picture = Core.PictureOf(0, 10, 40);
        ASSERT_EQ(picture->Cells.size(), 400U);
      }
    }
  }
  Core.Feed(chunk + "end");
  const ScreenEmulator& screen = Core.Emulator();
  EXPECT_EQ(screen.TextOf(8), "line 39999");
  EXPECT_EQ(screen.TextOf(9), "end");
  EXPECT_EQ(screen.TextOf(0), "line 39991");
  EXPECT_EQ(screen.TextOf(-1), "line 39990");
}

TEST_F(ConsoleTest, APastePacedForASlowBoardGoesOutAsTypedAndCanBeStopped) {
  Core.SetPasteDelays(5, 0);
  Core.PasteText(U"ab\r\ncd");
  EXPECT_EQ(Sent, "a");
  PasteTimer.Advance(5);
  EXPECT_EQ(Sent, "ab");
  PasteTimer.Advance(5);
  EXPECT_EQ(Sent, "ab\r");  // a line's end as Enter sends it
  EXPECT_TRUE(Core.Pasting());
  Core.StopPaste();
  PasteTimer.Advance(100);
  EXPECT_EQ(Sent, "ab\r");
  EXPECT_FALSE(Core.Pasting());

  // A pause only after lines: each line goes out whole.
  Sent.clear();
  Core.SetPasteDelays(0, 20);
  Core.SetEnterSends(EnterSends::Lf);
  Core.PasteText(U"one\rtwo\r\nthree");
  EXPECT_EQ(Sent, "one\n");
  PasteTimer.Advance(20);
  EXPECT_EQ(Sent, "one\ntwo\n");
  PasteTimer.Advance(20);
  EXPECT_EQ(Sent, "one\ntwo\nthree");
  EXPECT_FALSE(Core.Pasting());

  // No pauses: all at once.
  Sent.clear();
  Core.SetPasteDelays(0, 0);
  Core.PasteText(U"x\r\ny\u00E9");
  EXPECT_EQ(Sent, "x\ny\xC3\xA9");

  // A CR LF split between two pastes while the first still goes out is one line end.
  Sent.clear();
  Core.SetPasteDelays(5, 0);
  Core.PasteText(U"a\r");
  Core.PasteText(U"\nb");
  PasteTimer.Advance(20);
  EXPECT_EQ(Sent, "a\nb");
}

}  // namespace
}  // namespace korvani::console
