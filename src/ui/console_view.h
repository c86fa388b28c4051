// The console: a terminal emulator's character screen drawn as a grid in a fixed-pitch font.
// The grid follows the view's size; the wheel, Shift+Page Up/Down and the scroll bar go
// through the scrollback; a mouse drag selects and Ctrl+Shift+C copies. While it has the
// keyboard, every key is handed on as the bytes a terminal sends for it (Ctrl+Shift+V pastes
// as typed). Received bytes are drawn at most every 33 ms, and a steady cursor costs no
// wake-ups. While the console is not in view the emulator is not fed: the last 256 KB
// received wait and are fed when it comes into view (all of them, when no more came), so
// the other views drain a flood at their own pace.
#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <QPoint>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "console/screen_emulator.h"

namespace korvani::ui {

class ConsoleView final : public QAbstractScrollArea {
 public:
  static constexpr int kRepaintMs = 33;

  explicit ConsoleView(QWidget* parent = nullptr);

  // Bytes from the line.
  void Feed(std::string_view bytes);
  // Where the bytes of typed keys go (the port).
  using Sender = std::function<void(const std::string& bytes)>;
  void SetSender(Sender send) { Send = std::move(send); }
  // Typed bytes are also shown, for a board that does not echo.
  void SetLocalEcho(bool on) { LocalEcho = on; }
  void SetEnterSends(console::EnterSends sends) { Screen.SetEnterSends(sends); }
  void SetBackspaceSends(console::BackspaceSends sends) { Screen.SetBackspaceSends(sends); }
  // A paste for a slow board: a pause after each character and, besides, after each line.
  void SetPasteDelays(int charMs, int lineMs) {
    PasteCharMs = charMs;
    PasteLineMs = lineMs;
  }
  // Sends the text as typed, with the paste's pauses (Ctrl+Shift+V pastes the clipboard).
  void PasteText(const QString& text);
  [[nodiscard]] const console::ScreenEmulator& Emulator() const { return Screen; }
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
  void Type(const std::string& bytes);
  void SendNextPasted();
  void Fit();
  void Refresh();
  // The first row shown: 0 while following the screen, negative inside the scrollback.
  [[nodiscard]] int TopRow() const;
  // The selection's first cell and the cell after its last, in reading order.
  [[nodiscard]] std::pair<QPoint, QPoint> Selection() const;
  [[nodiscard]] bool Selected(int row, int column) const;

  console::ScreenEmulator Screen;
  Sender Send;
  QFont Font;
  int CellWidth = 8;
  int CellHeight = 16;
  int Ascent = 12;
  QTimer RepaintTimer;
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
