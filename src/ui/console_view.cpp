// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/console_view.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "ui/rx_view.h"

namespace korvani::ui {

namespace {

QColor ToQColor(console::Rgb colour) {
  return {colour.Red, colour.Green, colour.Blue};
}

// A cell that may share a run: one plain character the face surely has, or a blank.
bool SharesARun(const console::Cell& cell) {
  return cell.Width == 1 && (cell.Text.empty() || (cell.Text.size() == 1 && cell.Text[0] < 0x7F));
}

}  // namespace

ConsoleView::ConsoleView(QWidget* parent)
    : QAbstractScrollArea(parent),
      Core(PasteTimer,
           [this] {
             QMetaObject::invokeMethod(
                 this, [this] { Woken(); }, Qt::QueuedConnection);
           }),
      Font(FixedPitchFont()) {
  setObjectName(QStringLiteral("txtConsole"));
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  viewport()->setAutoFillBackground(false);
  viewport()->setCursor(Qt::IBeamCursor);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // The cell is the face's advance rounded up, and the face is spaced out to it, so that a
  // run of characters drawn as one text puts each on its column.
  const qreal advance = QFontMetricsF(Font).horizontalAdvance(QLatin1Char('M'));
  CellWidth = std::max(1, static_cast<int>(std::ceil(advance - 0.01)));
  Font.setLetterSpacing(QFont::AbsoluteSpacing, CellWidth - advance);
  const QFontMetricsF metrics(Font);
  CellHeight = std::max(1, static_cast<int>(std::ceil(metrics.height())));
  Ascent = static_cast<int>(std::round(metrics.ascent()));
  MeasureFaces();
  RepaintTimer.setSingleShot(true);
  RepaintTimer.setTimerType(Qt::PreciseTimer);
  SincePaint.start();
  connect(&RepaintTimer, &QTimer::timeout, this, [this] { Refresh(); });
  Fit();
}

QFont ConsoleView::FaceOf(bool bold, bool italic, bool underline) const {
  QFont font = Font;
  font.setBold(bold);
  font.setItalic(italic);
  font.setUnderline(underline);
  return font;
}

void ConsoleView::MeasureFaces() {
  const QString sample(64, QLatin1Char('M'));
  for (std::size_t look = 0; look < RunsOnGrid.size(); ++look) {
    const QFontMetricsF metrics(FaceOf((look & 1U) != 0, (look & 2U) != 0, false));
    RunsOnGrid[look] = std::abs(metrics.horizontalAdvance(sample) - 64.0 * CellWidth) < 1.0;
  }
}

void ConsoleView::Feed(std::string_view bytes) {
  Core.SetShown(isVisible());
  Core.Feed(bytes);
}

void ConsoleView::showEvent(QShowEvent* event) {
  QAbstractScrollArea::showEvent(event);
  Core.SetShown(true);
}

void ConsoleView::hideEvent(QHideEvent* event) {
  QAbstractScrollArea::hideEvent(event);
  Core.SetShown(false);
}

void ConsoleView::Woken() {
  if (Core.Woken() && !RepaintTimer.isActive()) {
    // Drawn within a frame of the last paint.
    const auto due = static_cast<int>(kRepaintMs - kPaintLeadMs - SincePaint.elapsed());
    RepaintTimer.start(std::max(0, due));
  }
}

void ConsoleView::Refresh() {
  const int kept = Core.Kept();
  QScrollBar* bar = verticalScrollBar();
  const bool following = bar->value() == bar->maximum();
  bar->setRange(0, kept);
  bar->setPageStep(Core.Rows());
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
  Core.Resize(rows, columns, viewport()->height() / CellHeight + 1);
  Core.Woken();
  Refresh();
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

// A row is drawn in runs of plain cells that look the same: one fill for a run's background
// and one text for its characters, which the spaced face puts on their columns. Any other
// cell (a wide character, a mark, a character the face may lack and another font draws) is
// drawn on its own at its column, so nothing after it drifts off the grid.
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
  const auto usePen = [&](const Look& look) {
    if (!fontLook || fontLook->Bold != look.Bold || fontLook->Italic != look.Italic ||
        fontLook->Underline != look.Underline) {
      painter.setFont(FaceOf(look.Bold, look.Italic, look.Underline));
    }
    if (!fontLook || fontLook->Fore != look.Fore) {
      painter.setPen(look.Fore);
    }
    fontLook = look;
  };
  const auto drawRun = [&](const Look& look, int column, int cells, const QString& text, int y) {
    const QRect box(column * CellWidth, y, cells * CellWidth, CellHeight);
    if (look.Back != plainBack) {
      painter.fillRect(box, look.Back);
    }
    if (text.trimmed().isEmpty()) {
      return;
    }
    usePen(look);
    if (RunsOnGrid[(look.Bold ? 1U : 0U) | (look.Italic ? 2U : 0U)]) {
      painter.drawText(box.x(), y + Ascent, text);
      return;
    }
    for (int i = 0; i < cells; ++i) {
      painter.drawText((column + i) * CellWidth, y + Ascent, text.mid(i, 1));
    }
  };
  // A character on its own: one a font other than the grid's may draw wider than its cells
  // (a line-drawing diamond, U+FFFD) is narrowed to them, not let over its neighbour.
  const auto drawGlyph = [&](const Look& look, int column, int cells, const QString& text, int y) {
    const QRect box(column * CellWidth, y, cells * CellWidth, CellHeight);
    if (look.Back != plainBack) {
      painter.fillRect(box, look.Back);
    }
    usePen(look);
    const qreal advance = QFontMetricsF(painter.font()).horizontalAdvance(text);
    if (advance <= box.width() + 0.5) {
      painter.drawText(box.x(), y + Ascent, text);
      return;
    }
    painter.save();
    painter.translate(box.x(), 0);
    painter.scale(box.width() / advance, 1.0);
    painter.drawText(0, y + Ascent, text);
    painter.restore();
  };
  const int shownRows = std::max(0, std::min(rows, Core.Rows() - top));
  const int columns = Core.Columns();
  const std::shared_ptr<const console::Picture> picture = Core.PictureOf(top, shownRows, columns);
  const std::vector<console::Cell>& cells = picture->Cells;
  const console::Cursor cursor = picture->CursorNow;
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
      const bool plain = SharesARun(cell);
      if (runCells > 0 && (look != runLook || !plain)) {
        drawRun(runLook, runStart, runCells, runText, y);
        runCells = 0;
        runText.clear();
      }
      if (!plain) {
        // A letter and its marks as one character where Unicode has one (e and U+0301 as
        // U+00E9): the face draws that whole, where it may place a lone mark apart.
        drawGlyph(look, column, cell.Width,
                  QString::fromUcs4(cell.Text.data(), static_cast<qsizetype>(cell.Text.size()))
                      .normalized(QString::NormalizationForm_C),
                  y);
        continue;
      }
      if (runCells == 0) {
        runLook = look;
        runStart = column;
      }
      runText += cell.Text.empty() ? QLatin1Char(' ') : QChar(static_cast<char16_t>(cell.Text[0]));
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
