// The Terminal tab's receive view: draws only the lines in sight, made from the receive
// history in the form chosen, so a frame costs the window's height, never the history's
// length. It follows the newest line until the user scrolls up; scrolling back to the end
// (or End) follows again. It catches up with the history when told, at most every
// kRefreshMs, so Freeze (which stops the telling) holds what it shows.
#pragma once

#include <QAbstractScrollArea>
#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <functional>

#include "terminal/rx_history.h"

namespace korvani::ui {

class RxView final : public QAbstractScrollArea {
  Q_OBJECT

 public:
  static constexpr int kRefreshMs = 33;

  explicit RxView(QWidget* parent = nullptr);

  // `shownEnd` says up to which byte the history may be shown (a frozen view's end).
  void SetHistory(const terminal::RxHistory* history, std::function<std::uint64_t()> shownEnd = {});
  void SetForm(terminal::HistoryForm form);
  [[nodiscard]] terminal::HistoryForm Form() const { return Shown; }
  void SetTimestamps(bool on);
  // The history changed: the view catches up within kRefreshMs.
  void HistoryChanged();
  [[nodiscard]] bool Following() const { return Follow; }

  // The lines in sight as drawn (stamps included), top first.
  [[nodiscard]] QStringList VisibleLines() const;
  // The text of every line the view has caught up with, as drawn, one per line.
  [[nodiscard]] QString AllText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CatchUp();
  void UpdateScrollRange();
  [[nodiscard]] int LinesInSight() const;
  [[nodiscard]] std::uint64_t FirstShown() const;  // the index of the top line in the history
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
  QTimer Refresh;
};

}  // namespace korvani::ui
