// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/console_view.h"

#include <QFontMetrics>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <chrono>
#include <optional>
#include <utility>
#include <vector>

#include "ui/rx_view.h"

namespace korvani::ui {

namespace {

QColor ToQColor(console::Rgb colour) {
  return {colour.Red, colour.Green, colour.Blue};
}

}  // namespace

ConsoleView::ConsoleView(QWidget* parent)
    : QAbstractScrollArea(parent), Screen(24, 80), Font(FixedPitchFont()) {
  setObjectName(QStringLiteral("txtConsole"));
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  viewport()->setAutoFillBackground(false);
  viewport()->setCursor(Qt::IBeamCursor);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  const QFontMetrics metrics(Font);
  CellWidth = std::max(1, metrics.horizontalAdvance(QLatin1Char('M')));
  CellHeight = std::max(1, metrics.height());
  Ascent = metrics.ascent();
  RepaintTimer.setSingleShot(true);
  RepaintTimer.setTimerType(Qt::PreciseTimer);
  SincePaint.start();
  connect(&RepaintTimer, &QTimer::timeout, this, [this] { Refresh(); });
  PasteTimer.setSingleShot(true);
  connect(&PasteTimer, &QTimer::timeout, this, [this] { SendNextPasted(); });
  Fit();
  EmulatorThread = std::thread([this] { Emulate(); });
}

ConsoleView::~ConsoleView() {
  {
    const std::lock_guard lock(QueueGuard);
    Stopping = true;
  }
  Wake.notify_all();
  Drained.notify_all();
  EmulatorThread.join();
}

void ConsoleView::Emulate() {
  std::unique_lock queue(QueueGuard);
  for (;;) {
    Wake.wait(queue, [this] { return Stopping || !Queued.empty(); });
    if (Stopping) {
      return;
    }
    // A slice at a time: the queue goes down as it is taken, so a feed waiting for room
    // (and with it the window's thread, and its paints) waits no longer than one slice.
    const std::string taken = Queued.substr(0, kSliceBytes);
    Queued.erase(0, taken.size());
    const bool last = Queued.empty();  // a picture after the last bytes, whenever they came
    Emulating = true;
    queue.unlock();
    Drained.notify_all();
    const auto now = std::chrono::steady_clock::now();
    std::shared_ptr<const Picture> picture;
    {
      const std::lock_guard screen(ScreenGuard);
      Screen.Feed(taken);
      if ((last || now - LastPicture >= std::chrono::milliseconds(kPictureMs)) && Screen.TakeChanged()) {
        picture = PictureOf(WantedTop, WantedRows, WantedColumns);
      }
    }
    if (picture) {
      LastPicture = now;
      Publish(std::move(picture));
    }
    queue.lock();
    Emulating = false;
    Drained.notify_all();
  }
}

std::shared_ptr<const ConsoleView::Picture> ConsoleView::PictureOf(int top, int rows, int columns) const {
  auto picture = std::make_shared<Picture>();
  picture->Top = top;
  picture->Rows = rows;
  picture->Columns = columns;
  picture->Cells.reserve(static_cast<std::size_t>(std::max(0, rows)) * static_cast<std::size_t>(columns));
  for (int shown = 0; shown < rows; ++shown) {
    for (int column = 0; column < columns; ++column) {
      picture->Cells.push_back(Screen.At(top + shown, column));
    }
  }
  picture->Cursor = Screen.CursorAt();
  picture->Kept = static_cast<int>(Screen.ScrollbackCount());
  return picture;
}

void ConsoleView::Publish(std::shared_ptr<const Picture> picture) {
  {
    const std::lock_guard lock(PictureGuard);
    Latest = std::move(picture);
    PictureFresh = true;
  }
  if (!RefreshPosted.exchange(true)) {
    // The window's thread draws it, within a frame.
    QMetaObject::invokeMethod(
        this,
        [this] {
          RefreshPosted = false;
          if (!RepaintTimer.isActive()) {
            const auto due = static_cast<int>(kRepaintMs - kPaintLeadMs - SincePaint.elapsed());
            RepaintTimer.start(std::max(0, due));
          }
        },
        Qt::QueuedConnection);
  }
}

void ConsoleView::WaitUntilFed() {
  std::unique_lock queue(QueueGuard);
  Drained.wait(queue, [this] { return Stopping || (Queued.empty() && !Emulating); });
}

const console::ScreenEmulator& ConsoleView::Emulator() {
  WaitUntilFed();
  return Screen;
}

void ConsoleView::SetEnterSends(console::EnterSends sends) {
  const std::lock_guard lock(ScreenGuard);
  Screen.SetEnterSends(sends);
}

void ConsoleView::SetBackspaceSends(console::BackspaceSends sends) {
  const std::lock_guard lock(ScreenGuard);
  Screen.SetBackspaceSends(sends);
}

void ConsoleView::Feed(std::string_view bytes) {
  if (!isVisible()) {
    Waiting.append(bytes);
    if (Waiting.size() > 2 * kWaitingBytes) {  // cut now and then, not at every chunk
      Waiting.erase(0, Waiting.size() - kWaitingBytes);
      WaitingCutShort = true;
    }
    return;
  }
  if (bytes.empty()) {
    return;
  }
  {
    std::unique_lock queue(QueueGuard);
    Drained.wait(queue, [this] { return Stopping || Queued.size() < kMostQueued; });
    Queued.append(bytes);
  }
  Wake.notify_one();
  // The thread asks for the paint once it has taken the bytes.
}

void ConsoleView::Refresh() {
  int kept = 0;
  {
    const std::lock_guard lock(PictureGuard);
    if (!PictureFresh || !Latest) {
      return;
    }
    PictureFresh = false;
    kept = Latest->Kept;
  }
  QScrollBar* bar = verticalScrollBar();
  const bool following = bar->value() == bar->maximum();
  bar->setRange(0, kept);
  bar->setPageStep(ShownRows);
  if (following) {
    bar->setValue(kept);
  }
  viewport()->repaint();  // now, not after whatever the event loop has waiting
}

int ConsoleView::TopRow() const {
  return verticalScrollBar()->value() - verticalScrollBar()->maximum();
}

void ConsoleView::Fit() {
  const int columns = std::max(1, viewport()->width() / CellWidth);
  const int rows = std::max(1, viewport()->height() / CellHeight);
  {
    const std::lock_guard lock(ScreenGuard);
    Screen.Resize(rows, columns);
    ShownRows = Screen.Rows();
    ShownColumns = Screen.Columns();
    WantedTop = 0;
    WantedRows = std::min(viewport()->height() / CellHeight + 1, ShownRows);
    WantedColumns = ShownColumns;
    Screen.TakeChanged();
    Publish(PictureOf(WantedTop, WantedRows, WantedColumns));
  }
  Refresh();
}

void ConsoleView::showEvent(QShowEvent* event) {
  QAbstractScrollArea::showEvent(event);
  if (Waiting.size() > kWaitingBytes) {
    Waiting.erase(0, Waiting.size() - kWaitingBytes);
    WaitingCutShort = true;
  }
  if (WaitingCutShort) {
    WaitUntilFed();
    const std::lock_guard lock(ScreenGuard);
    Screen.Clear();  // what came before the bytes kept is gone
    Screen.TakeChanged();
    Publish(PictureOf(WantedTop, WantedRows, WantedColumns));
  }
  std::string waiting = std::exchange(Waiting, {});
  WaitingCutShort = false;
  Feed(waiting);
}

void ConsoleView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  Fit();
}

void ConsoleView::scrollContentsBy(int /*dx*/, int /*dy*/) {
  viewport()->update();
}

QRect ConsoleView::CellRect(int row, int column) const {
  return {column * CellWidth, (row - TopRow()) * CellHeight, CellWidth, CellHeight};
}

// A row is drawn in runs of cells that look the same: one fill for a run's background and
// one text for its characters (the face is fixed-pitch), not one of each per cell.
void ConsoleView::paintEvent(QPaintEvent* /*event*/) {
  SincePaint.restart();
  QPainter painter(viewport());
  const QColor plainBack = ToQColor(console::ScreenEmulator::kDefaultBack);
  painter.fillRect(viewport()->rect(), plainBack);
  const int top = TopRow();
  const int rows = viewport()->height() / CellHeight + 1;
  struct Look {
    QColor Fore;
    QColor Back;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool operator==(const Look&) const = default;
  };
  std::optional<Look> fontLook;  // the font the painter has now
  const auto drawRun = [&](const Look& look, int column, int cells, const QString& text, int y) {
    const QRect box(column * CellWidth, y, cells * CellWidth, CellHeight);
    if (look.Back != plainBack) {
      painter.fillRect(box, look.Back);
    }
    if (text.trimmed().isEmpty()) {
      return;
    }
    if (!fontLook || fontLook->Bold != look.Bold || fontLook->Italic != look.Italic ||
        fontLook->Underline != look.Underline) {
      QFont font = Font;
      font.setBold(look.Bold);
      font.setItalic(look.Italic);
      font.setUnderline(look.Underline);
      painter.setFont(font);
    }
    if (!fontLook || fontLook->Fore != look.Fore) {
      painter.setPen(look.Fore);
    }
    fontLook = look;
    painter.drawText(box.x(), y + Ascent, text);
  };
  // The cells in view: the picture the emulating thread took, or when the rows in view are
  // others (scrolled, resized), taken now.
  const int shownRows = std::max(0, std::min(rows, ShownRows - top));
  const int columns = ShownColumns;
  WantedTop = top;
  WantedRows = shownRows;
  WantedColumns = columns;
  std::shared_ptr<const Picture> picture;
  {
    const std::lock_guard lock(PictureGuard);
    picture = Latest;
  }
  if (!picture || picture->Top != top || picture->Rows != shownRows || picture->Columns != columns) {
    const std::lock_guard lock(ScreenGuard);
    picture = PictureOf(top, shownRows, columns);
  }
  const std::vector<console::Cell>& cells = picture->Cells;
  const console::Cursor cursor = picture->Cursor;
  for (int shown = 0; shown < shownRows; ++shown) {
    const int row = top + shown;
    const int y = shown * CellHeight;
    Look runLook;
    QString runText;
    int runStart = 0;
    int runCells = 0;
    for (int column = 0; column < columns; ++column) {
      const console::Cell& cell = cells[static_cast<std::size_t>(shown) * static_cast<std::size_t>(columns) +
                                        static_cast<std::size_t>(column)];
      if (cell.Width == 0) {
        continue;  // the second half of a wide character, drawn with its first
      }
      Look look{ToQColor(cell.Fore), ToQColor(cell.Back), cell.Bold, cell.Italic, cell.Underline};
      if (Selected(row, column)) {
        std::swap(look.Fore, look.Back);
      }
      const QString text =
          cell.Text.empty() ? QStringLiteral(" ")
                            : QString::fromUcs4(cell.Text.data(), static_cast<qsizetype>(cell.Text.size()));
      if (runCells > 0 && (look != runLook || cell.Width != 1)) {
        drawRun(runLook, runStart, runCells, runText, y);
        runCells = 0;
        runText.clear();
      }
      if (cell.Width != 1) {
        drawRun(look, column, cell.Width, text, y);  // a wide character on its own
        continue;
      }
      if (runCells == 0) {
        runLook = look;
        runStart = column;
      }
      runText += text;
      ++runCells;
    }
    if (runCells > 0) {
      drawRun(runLook, runStart, runCells, runText, y);
    }
  }
  if (cursor.Visible && top <= cursor.Row) {
    const QRect box = CellRect(cursor.Row, cursor.Column);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(box, Qt::white);  // a steady block: no timer blinks it
  }
}

}  // namespace korvani::ui
