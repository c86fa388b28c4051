// SPDX-License-Identifier: GPL-3.0-or-later
// The console: a terminal emulator's character screen drawn as a grid in a fixed-pitch font.
// The grid follows the view's size; the wheel, Shift+Page Up/Down and the scroll bar go
// through the scrollback; a mouse drag selects and Ctrl+Shift+C copies. While it has the
// keyboard, every key is handed on as the bytes a terminal sends for it (Ctrl+Shift+V pastes
// as typed). Received bytes are emulated on a thread of their own, so a flood is parsed on
// one core while the window's thread reads the port, keeps the history and writes the logs
// on the other; the grid is drawn at most every 33 ms, and a steady cursor and an idle
// emulating thread cost no wake-ups. While the console is not in view the emulator is not
// fed: the last 256 KB
// received wait and are fed when it comes into view (all of them, when no more came), so
// the other views drain a flood at their own pace.
#pragma once

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QFont>
#include <QPoint>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "console/screen_emulator.h"

namespace korvani::ui {

class ConsoleView final : public QAbstractScrollArea {
 public:
  static constexpr int kRepaintMs = 33;
  // How much earlier than a frame the refresh is asked for, for the paint that follows it
  // (a paint takes 10 to 17 ms on a busy two-core machine).
  static constexpr int kPaintLeadMs = 10;

  explicit ConsoleView(QWidget* parent = nullptr);
  ~ConsoleView() override;
  ConsoleView(const ConsoleView&) = delete;
  ConsoleView& operator=(const ConsoleView&) = delete;

  // Bytes from the line.
  void Feed(std::string_view bytes);
  // Where the bytes of typed keys go (the port).
  using Sender = std::function<void(const std::string& bytes)>;
  void SetSender(Sender send) { Send = std::move(send); }
  // Typed bytes are also shown, for a board that does not echo.
  void SetLocalEcho(bool on) { LocalEcho = on; }
  void SetEnterSends(console::EnterSends sends);
  void SetBackspaceSends(console::BackspaceSends sends);
  // A paste for a slow board: a pause after each character and, besides, after each line.
  void SetPasteDelays(int charMs, int lineMs) {
    PasteCharMs = charMs;
    PasteLineMs = lineMs;
  }
  // Sends the text as typed, with the paste's pauses (Ctrl+Shift+V pastes the clipboard).
  void PasteText(const QString& text);
  // The emulator once everything fed so far is taken (for tests, on the window's thread).
  [[nodiscard]] const console::ScreenEmulator& Emulator();
  // The text selected, rows joined by line feeds; empty when nothing is.
  [[nodiscard]] QString SelectedText() const;
  // The cell (row and column on the screen) at a point of the viewport.
  [[nodiscard]] QPoint CellAt(const QPoint& point) const;
  // The rectangle of a screen cell in the viewport.
  [[nodiscard]] QRect CellRect(int row, int column) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  bool focusNextPrevChild(bool next) override;  // Tab belongs to the board
  void scrollContentsBy(int dx, int dy) override;
  void showEvent(QShowEvent* event) override;

 private:
  // The emulating thread: takes what Feed queued, a slice at a time.
  void Emulate();
  // Waits until the emulating thread has taken everything queued.
  void WaitUntilFed();
  void Type(const std::string& bytes);
  // The bytes a key or character is sent as (the emulator's modes decide some).
  std::string KeyBytes(console::Key key, console::Modifiers with);
  std::string CharBytes(char32_t character, console::Modifiers with);
  void SendNextPasted();
  void Fit();
  void Refresh();
  // The first row shown: 0 while following the screen, negative inside the scrollback.
  [[nodiscard]] int TopRow() const;
  // The selection's first cell and the cell after its last, in reading order.
  [[nodiscard]] std::pair<QPoint, QPoint> Selection() const;
  [[nodiscard]] bool Selected(int row, int column) const;

  // The emulator is shared by the two threads: every use of it holds ScreenGuard.
  mutable std::mutex ScreenGuard;
  console::ScreenEmulator Screen;
  int ShownRows = 24;  // the grid's size, as the window's thread last set it
  int ShownColumns = 80;
  // Bytes fed and not yet emulated. A feed waits while 256 KB are (so the port is read no
  // faster than the console takes it, and nothing is dropped); the thread takes them a
  // slice at a time, so that wait is never longer than one slice.
  static constexpr std::size_t kMostQueued = std::size_t{256} << 10;
  static constexpr std::size_t kSliceBytes = std::size_t{16} * 1024;
  std::mutex QueueGuard;
  std::condition_variable Wake;     // bytes queued, or stopping
  std::condition_variable Drained;  // the queue went down, or was emptied
  std::string Queued;
  bool Emulating = false;  // the thread holds bytes taken from the queue
  bool Stopping = false;
  std::atomic<bool> RefreshPosted{false};  // the thread has asked the window for a paint
  // What a paint draws: the cells in view, taken by the emulating thread as it goes (once
  // a frame under a flood, and after the last bytes), so a paint does not wait for the
  // emulator's lock while the thread parses. The window's thread tells it which rows are
  // in view; a paint of other rows (scrolled, resized) takes them itself.
  struct Picture {
    int Top = 0;
    int Rows = 0;
    int Columns = 0;
    std::vector<console::Cell> Cells;
    console::Cursor Cursor;
    int Kept = 0;  // lines in the scrollback
  };
  // The picture of the rows asked for; ScreenGuard held.
  [[nodiscard]] std::shared_ptr<const Picture> PictureOf(int top, int rows, int columns) const;
  // The picture made the one paints draw; a refresh follows.
  void Publish(std::shared_ptr<const Picture> picture);
  static constexpr int kPictureMs = 20;
  std::mutex PictureGuard;
  std::shared_ptr<const Picture> Latest;
  bool PictureFresh = false;  // published since the last refresh
  std::atomic<int> WantedTop{0};
  std::atomic<int> WantedRows{0};
  std::atomic<int> WantedColumns{0};
  std::thread EmulatorThread;
  std::chrono::steady_clock::time_point LastPicture;  // the emulating thread's own
  Sender Send;
  QFont Font;
  int CellWidth = 8;
  int CellHeight = 16;
  int Ascent = 12;
  QTimer RepaintTimer;
  // Since the grid was last painted: under a flood the next paint is due a frame after the
  // last one, not a frame after the first bytes that came since (which would let the gaps
  // grow by however long the event loop took to get to the paint).
  QElapsedTimer SincePaint;
  bool LocalEcho = false;
  static constexpr std::size_t kWaitingBytes = std::size_t{256} << 10;
  std::string Waiting;           // received while not in view
  bool WaitingCutShort = false;  // more came than it keeps: the screen starts again from it
  int PasteCharMs = 0;
  int PasteLineMs = 0;
  // What a paste still has to send, each piece with the pause after it.
  struct Pasted {
    std::string Bytes;
    int PauseMs = 0;
  };
  std::deque<Pasted> PasteQueue;
  QTimer PasteTimer;
  // The selection, from where the drag began to where it is, rows counted from the screen's
  // top (negative in the scrollback); none while both are equal.
  QPoint SelectFrom;
  QPoint SelectTo;
};

}  // namespace korvani::ui
