// SPDX-License-Identifier: GPL-3.0-or-later
// The Terminal tab's receive view: draws only the lines in sight, made from the receive
// history in the form chosen, so a frame costs the window's height, never the history's
// length. It follows the newest line until the user scrolls up; scrolling back to the end
// (or End) follows again. It catches up with the history when told, at most every
// kRefreshMs, so Freeze (which stops the telling) holds what it shows.
#pragma once

#include <QAbstractScrollArea>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QStringList>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "adapters/guarded.h"
#include "terminal/rx_history.h"

namespace korvani::ui {

// The window's fixed-pitch font: the receive view's, the Tx lines' and the prompts'.
QFont FixedPitchFont();

class RxView final : public QAbstractScrollArea {
  Q_OBJECT

 public:
  static constexpr int kRefreshMs = 33;

  explicit RxView(QWidget* parent = nullptr);

  // `shownEnd` says up to which byte the history may be shown (a frozen view's end).
  void SetHistory(const terminal::RxHistory* history, std::function<std::uint64_t()> shownEnd = {});
  // Where a failure while catching up is told; it never leaves the timer.
  void SetFaultReport(FaultReport report) { Report = std::move(report); }
  void SetForm(terminal::HistoryForm form);
  [[nodiscard]] terminal::HistoryForm Form() const { return Shown; }
  void SetTimestamps(bool on);
  // The history changed: the view catches up within kRefreshMs.
  void HistoryChanged();
  [[nodiscard]] bool Following() const { return Follow; }
  // Shows the newest line and follows it, as End does.
  void FollowNewest();

  // Finds the text in the history in the form shown and scrolls to it: the same text again
  // from the line after the current match (before it, backwards), a new text from the view's
  // place (its top line; its bottom line, backwards). Past the last line it goes on from the
  // first (past the first, from the last) and says so. Every match in sight is marked while
  // the text is set. When none is found, nothing moves.
  enum class Found { Yes, AfterWrapping, No };
  Found FindNext(const QString& text, bool forward, bool matchCase);
  // Ends the marking of matches; a view that followed the newest line before the find
  // follows it again.
  void EndFind();
  // The line of the current match among all lines ever made, when there is one.
  [[nodiscard]] std::optional<std::uint64_t> MatchNumber() const { return Match; }

  // The selection, made with the mouse or Shift and the arrow keys: from where it was begun
  // to where it ends, as line numbers among all lines ever made and columns of the line as
  // drawn. Ctrl+C copies it as drawn.
  struct Place {
    std::uint64_t Number = 0;
    qsizetype Column = 0;
    bool operator==(const Place&) const = default;
    bool operator<(const Place& other) const {
      return Number != other.Number ? Number < other.Number : Column < other.Column;
    }
  };
  void Select(Place from, Place to);
  [[nodiscard]] QString SelectedText() const;
  void CopySelection() const;

  // The lines in sight as drawn (stamps included), top first.
  [[nodiscard]] QStringList VisibleLines() const;
  // The text of every line the view has caught up with, as drawn, one per line.
  [[nodiscard]] QString AllText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void CatchUp();
  void ShowNumber(std::uint64_t number);  // scrolls so the line is in sight
  void UpdateScrollRange();
  [[nodiscard]] int LinesInSight() const;
  [[nodiscard]] std::uint64_t FirstShown() const;  // the index of the top line in the history
  void MarkMatches(QPainter& painter, const QString& line, int x, int y, bool current) const;
  // Where the line's column starts, in pixels from the line's start. In a fixed-pitch font
  // (Pitch, 0 in another) every column is one width, so no line is measured.
  [[nodiscard]] int ColumnLeft(const QString& line, qsizetype column) const;
  void TakeFont();
  // Draws the columns of the line in sight at (x, baseline).
  void DrawColumns(QPainter& painter, const QString& line, int x, int baseline);
  // The history's index of the row's line, false when no line is drawn there.
  bool RowIndex(int row, std::uint64_t& index) const;
  [[nodiscard]] QString LineShown(std::uint64_t index, terminal::Direction* from = nullptr) const;

  const terminal::RxHistory* History = nullptr;
  std::function<std::uint64_t()> ShownEnd;
  std::uint64_t UpTo = terminal::RxHistory::kAll;
  terminal::HistoryForm Shown = terminal::HistoryForm::Ascii;
  bool Stamps = false;
  bool Follow = true;
  bool Scrolling = false;  // the range is being set: a scroll is not the user's
  // What the view caught up with: the lines it may show and, as a number among all lines
  // ever made, the top one.
  std::uint64_t Before = 0;
  std::uint64_t Count = 0;
  std::uint64_t TopNumber = 0;
  int WidestPixels = 0;
  int Pitch = 0;
  // In a fixed-pitch font the view's characters (all of them printable ASCII) are drawn as
  // glyphs at their columns, looked up once: no text is laid out per frame.
  QRawFont Glyphs;
  std::array<quint32, 128> GlyphOf{};
  QList<quint32> RunGlyphs;  // reused per line
  QList<QPointF> RunPlaces;
  QString Sought;  // the text being found, marked where it is in sight
  Qt::CaseSensitivity SoughtCase = Qt::CaseInsensitive;
  std::optional<std::uint64_t> Match;
  std::optional<bool> FollowedBeforeFind;  // set while a find is under way
  std::optional<Place> Anchor;             // the selection, when there is one
  Place Cursor;
  [[nodiscard]] Place PlaceAt(QPoint point) const;
  // The line of the number as drawn, empty when it is not kept.
  [[nodiscard]] QString LineOfNumber(std::uint64_t number) const;
  void MarkSelection(QPainter& painter, const QString& line, std::uint64_t number, int x, int y) const;
  bool MoveCursor(QKeyEvent* event);
  QTimer Refresh;
  FaultReport Report;
};

}  // namespace korvani::ui
