// SPDX-License-Identifier: GPL-3.0-or-later
// The console's widget: draws the pictures `console::Console` hands it as a grid in a
// fixed-pitch font, each cell at its own column, at most every 33 ms, and forwards keys. The
// grid follows the view's size; the wheel, Shift+Page Up/Down and the scroll bar go through
// the scrollback; a mouse drag selects and Ctrl+Shift+C copies; Ctrl+Shift+V pastes as typed
// and Escape stops a paste that is still going out. A steady cursor and an idle console cost
// no wake-ups.
#pragma once

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QFont>
#include <QPoint>
#include <QTimer>
#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "adapters/qt_timer.h"
#include "console/console.h"

namespace korvani::ui {

class ConsoleView final : public QAbstractScrollArea {
 public:
  static constexpr int kRepaintMs = 33;
  // How much earlier than a frame the refresh is asked for, for the paint that follows it
  // (a paint takes 10 to 17 ms on a busy two-core machine).
  static constexpr int kPaintLeadMs = 10;

  explicit ConsoleView(QWidget* parent = nullptr);
  ~ConsoleView() override = default;
  ConsoleView(const ConsoleView&) = delete;
  ConsoleView& operator=(const ConsoleView&) = delete;

  // Bytes from the line.
  void Feed(std::string_view bytes);
  // Where typed keys and the terminal's answers go (the port).
  void SetSender(console::Console::Sender send) { Core.SetSender(std::move(send)); }
  void SetLocalEcho(bool on) { Core.SetLocalEcho(on); }
  void SetEnterSends(console::EnterSends sends) { Core.SetEnterSends(sends); }
  void SetBackspaceSends(console::BackspaceSends sends) { Core.SetBackspaceSends(sends); }
  void SetPasteDelays(int charMs, int lineMs) { Core.SetPasteDelays(charMs, lineMs); }
  // Sends the text as typed, with the paste's pauses (Ctrl+Shift+V pastes the clipboard).
  void PasteText(const QString& text);
  // The emulator once everything fed so far is taken (for tests, on the window's thread).
  [[nodiscard]] const console::ScreenEmulator& Emulator() { return Core.Emulator(); }
  // The text selected, rows joined by line feeds; empty when nothing is.
  [[nodiscard]] QString SelectedText();
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
  void hideEvent(QHideEvent* event) override;

 private:
  // On the window's thread, after the emulating thread asked: answers out, a paint due.
  void Woken();
  void Type(const std::string& bytes);
  void Fit();
  void Refresh();
  // Whether a run of plain characters in this look lands on the grid when drawn as one text;
  // where it would not (a bold face wider than the regular), each cell is drawn on its own.
  void MeasureFaces();
  [[nodiscard]] QFont FaceOf(bool bold, bool italic, bool underline) const;
  // The first row shown: 0 while following the screen, negative inside the scrollback.
  [[nodiscard]] int TopRow() const;
  // The selection's first cell and the cell after its last, in reading order.
  [[nodiscard]] std::pair<QPoint, QPoint> Selection() const;
  [[nodiscard]] bool Selected(int row, int column) const;

  QtTimer PasteTimer;
  console::Console Core;
  QFont Font;
  int CellWidth = 8;
  int CellHeight = 16;
  int Ascent = 12;
  std::array<bool, 4> RunsOnGrid{};  // by bold and italic
  QTimer RepaintTimer;
  // Since the grid was last painted: under a flood the next paint is due a frame after the
  // last one, not a frame after the first bytes that came since (which would let the gaps
  // grow by however long the event loop took to get to the paint).
  QElapsedTimer SincePaint;
  // The selection, from where the drag began to where it is, rows counted from the screen's
  // top (negative in the scrollback); none while both are equal.
  QPoint SelectFrom;
  QPoint SelectTo;
};

}  // namespace korvani::ui
