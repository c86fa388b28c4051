// SPDX-License-Identifier: GPL-3.0-or-later
// The console as it runs: the terminal emulator on a thread of its own, fed with the bytes the
// board sends, and the keys and pastes typed into it. A flood is parsed on one core while the
// window's thread reads the port, keeps the history and writes the logs on the other. The
// window only draws the pictures it is handed and forwards keys.
//
// Threads: every public function is for the window's thread, except that `Wake` (given at
// construction) is called from the emulating thread; it must only post a call of
// `Console::Woken` to the window's thread.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/timer.h"
#include "console/paced_paste.h"
#include "console/screen_emulator.h"

namespace korvani::console {

// The cells of some rows as a paint draws them.
struct Picture {
  int Top = 0;  // the first row: 0 is the screen's top, negative inside the scrollback
  int Rows = 0;
  int Columns = 0;
  std::vector<Cell> Cells;  // row by row
  Cursor CursorNow;
  int Kept = 0;  // lines in the scrollback
};

class Console {
 public:
  using Sender = std::function<void(const std::string& bytes)>;

  // While shown, a feed waits while this much is not yet emulated (so the port is read no
  // faster than the console takes it, and nothing is dropped); the thread takes a slice at a
  // time, so that wait is never longer than one slice.
  static constexpr std::size_t kMostQueued = std::size_t{256} << 10;
  static constexpr std::size_t kSliceBytes = std::size_t{16} << 10;
  // While not shown, the bytes are not emulated: the last 256 KB wait, and are fed when it is
  // shown (all of them, when no more came).
  static constexpr std::size_t kWaitingBytes = std::size_t{256} << 10;
  // Under a flood a picture is taken at most this often.
  static constexpr int kPictureMs = 20;

  Console(base::Timer& pasteTimer, std::function<void()> wake);
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // Bytes from the line.
  void Feed(std::string_view bytes);
  // Whether the console is in view; coming into view feeds what waited. Answers to the
  // board's questions among those bytes are not sent: they come too late to be wanted.
  void SetShown(bool shown);
  // The grid's size and the rows of it a paint shows from the top.
  void Resize(int rows, int columns, int rowsInView);
  [[nodiscard]] int Rows() const { return ShownRows; }
  [[nodiscard]] int Columns() const { return ShownColumns; }
  // Called on the window's thread after `Wake`: sends the terminal's answers to the board
  // and tells whether a new picture waits to be drawn.
  bool Woken();
  // The picture of these rows: the one the thread took when it shows them, else taken now.
  // The rows asked for are the ones the thread takes from then on.
  std::shared_ptr<const Picture> PictureOf(int top, int rows, int columns);
  // The number of lines in the scrollback in the latest picture.
  [[nodiscard]] int Kept();

  void SetSender(Sender send) { Send = std::move(send); }
  // Typed bytes are also shown, for a board that does not echo.
  void SetLocalEcho(bool on) { LocalEcho = on; }
  void SetEnterSends(EnterSends sends);
  void SetBackspaceSends(BackspaceSends sends);
  // Sends bytes typed (and echoes them when asked).
  void Type(const std::string& bytes);
  // The bytes a key or character is sent as (the emulator's modes decide some).
  std::string KeyBytes(Key key, Modifiers with);
  std::string CharBytes(char32_t character, Modifiers with);
  // A paste for a slow board: a pause after each character and, besides, after each line.
  void SetPasteDelays(int charMs, int lineMs) { Paste.SetDelays(charMs, lineMs); }
  void PasteText(const std::u32string& text) { Paste.Start(text); }
  void StopPaste() { Paste.Stop(); }
  [[nodiscard]] bool Pasting() const { return Paste.Running(); }
  // A row's text, as copying gives it (see ScreenEmulator::TextOf).
  std::string TextOf(int row, int fromColumn, int toColumn);
  // The emulator once everything fed so far is taken (for tests).
  [[nodiscard]] const ScreenEmulator& Emulator();

 private:
  void Emulate();
  void WaitUntilFed();
  void Queue(std::string_view bytes, bool late);
  // The picture of the rows asked for; ScreenGuard held.
  [[nodiscard]] std::shared_ptr<const Picture> TakePicture(int top, int rows, int columns) const;
  void Publish(std::shared_ptr<const Picture> picture);
  void WakeWindow();

  std::function<void()> Wake;
  Sender Send;
  bool LocalEcho = false;
  PacedPaste Paste;
  // The emulator is shared by the two threads: every use of it holds ScreenGuard.
  mutable std::mutex ScreenGuard;
  ScreenEmulator Screen;
  int ShownRows = 24;  // the grid's size, as the window's thread last set it
  int ShownColumns = 80;

  std::mutex QueueGuard;
  std::condition_variable Moved;  // bytes queued, taken or emulated, or stopping
  std::string Queued;
  std::size_t LateBytes = 0;  // how many of the first queued are late (their answers dropped)
  bool Emulating = false;     // the thread holds bytes taken from the queue
  bool Stopping = false;

  std::atomic<bool> WakePosted{false};
  std::mutex PictureGuard;  // over the three below
  std::shared_ptr<const Picture> Latest;
  bool PictureFresh = false;  // published since the window last looked
  std::string Replies;        // answers for the board, not yet sent
  std::atomic<int> WantedTop{0};
  std::atomic<int> WantedRows{0};
  std::atomic<int> WantedColumns{0};
  std::chrono::steady_clock::time_point LastPicture;  // the emulating thread's own

  bool Shown = true;
  std::string Waiting;           // received while not in view
  bool WaitingCutShort = false;  // more came than it keeps: the screen starts again from it
  std::thread EmulatorThread;    // last: it starts once everything above is made
};

}  // namespace korvani::console
