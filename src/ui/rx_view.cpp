// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/rx_view.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace korvani::ui {

namespace {
constexpr int kMarginPixels = 4;
const QColor kSentColour(0, 90, 200);
const QColor kNoteColour(128, 128, 128);
}  // namespace

QFont FixedPitchFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setFamily(QStringLiteral("Liberation Mono"));
  font.setStyleHint(QFont::TypeWriter);
  return font;
}

RxView::RxView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFont(FixedPitchFont());
  Refresh.setSingleShot(true);
  Refresh.setInterval(kRefreshMs);
  connect(&Refresh, &QTimer::timeout, this, [this] { RunGuarded(Report, [this] { CatchUp(); }); });
  verticalScrollBar()->setSingleStep(1);
  TakeFont();
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
}

void RxView::TakeFont() {
  const int zero = fontMetrics().horizontalAdvance(QLatin1Char('0'));
  horizontalScrollBar()->setSingleStep(zero);
  Pitch = QFontInfo(font()).fixedPitch() ? zero : 0;
  WidestPixels = 0;
  Glyphs = QRawFont::fromFont(font());
  QString printable;
  for (char16_t c = 32; c < 128; ++c) {
    printable += QChar(c);
  }
  const QList<quint32> indexes = Glyphs.glyphIndexesForString(printable);
  GlyphOf.fill(0);
  for (qsizetype i = 0; i < indexes.size() && i < 96; ++i) {
    GlyphOf.at(static_cast<std::size_t>(32 + i)) = indexes[i];
  }
}

void RxView::DrawColumns(QPainter& painter, const QString& line, int x, int baseline) {
  if (Pitch == 0) {
    painter.drawText(x, baseline, line);
    return;
  }
  // Only the columns in sight are drawn: a long line costs no more than a short one.
  const qsizetype first = std::max(0, -x / Pitch);
  const qsizetype end = std::min(line.size(), first + viewport()->width() / Pitch + 2);
  if (first >= end) {
    return;
  }
  const auto plain = [](QChar c) { return c.unicode() >= 32 && c.unicode() < 128; };
  if (!Glyphs.isValid() || !std::all_of(line.begin() + first, line.begin() + end, plain)) {
    painter.drawText(x + static_cast<int>(first) * Pitch, baseline, line.mid(first, end - first));
    return;
  }
  RunGlyphs.resize(end - first);
  RunPlaces.resize(end - first);
  for (qsizetype i = first; i < end; ++i) {
    RunGlyphs[i - first] = GlyphOf.at(line[i].unicode());
    RunPlaces[i - first] = QPointF(static_cast<double>(i * Pitch), 0);
  }
  QGlyphRun run;
  run.setRawFont(Glyphs);
  run.setGlyphIndexes(RunGlyphs);
  run.setPositions(RunPlaces);
  painter.drawGlyphRun(QPointF(x, baseline), run);
}

void RxView::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) {
    TakeFont();
  }
  QAbstractScrollArea::changeEvent(event);
}

int RxView::ColumnLeft(const QString& line, qsizetype column) const {
  return Pitch > 0 ? static_cast<int>(column) * Pitch : fontMetrics().horizontalAdvance(line.left(column));
}

void RxView::SetHistory(const terminal::RxHistory* history, std::function<std::uint64_t()> shownEnd) {
  History = history;
  ShownEnd = std::move(shownEnd);
  CatchUp();
}

void RxView::SetForm(terminal::HistoryForm form) {
  if (form == Shown) {
    return;
  }
  // The whole history in the other form at once, from its newest line.
  Shown = form;
  Follow = true;
  WidestPixels = 0;
  CatchUp();
}

void RxView::SetTimestamps(bool on) {
  Stamps = on;
  WidestPixels = 0;
  viewport()->update();
}

void RxView::HistoryChanged() {
  if (!Refresh.isActive()) {
    Refresh.start();
  }
}

int RxView::LinesInSight() const {
  return std::max(1, viewport()->height() / std::max(1, fontMetrics().lineSpacing()));
}

std::uint64_t RxView::FirstShown() const {
  return TopNumber - Before;  // as caught up
}

void RxView::CatchUp() {
  // What the view shows is what the history held when it caught up (or when it froze).
  UpTo = std::min(ShownEnd ? ShownEnd() : terminal::RxHistory::kAll,
                  History != nullptr ? History->EndByte() : std::uint64_t{0});
  Before = History != nullptr ? History->LinesBefore(Shown) : 0;
  Count = History != nullptr ? History->LineCount(Shown, UpTo) : 0;
  const auto sight = static_cast<std::uint64_t>(LinesInSight());
  const std::uint64_t lastTop = Before + (Count > sight ? Count - sight : 0);
  // Following, the newest lines; else the same line as before, unless it is gone.
  TopNumber = Follow ? lastTop : std::clamp(TopNumber, Before, lastTop);
  UpdateScrollRange();
  viewport()->update();
}

void RxView::UpdateScrollRange() {
  Scrolling = true;
  const int sight = LinesInSight();
  QScrollBar* bar = verticalScrollBar();
  bar->setPageStep(sight);
  bar->setRange(0, static_cast<int>(Count > static_cast<std::uint64_t>(sight) ? Count - sight : 0));
  bar->setValue(static_cast<int>(FirstShown()));
  horizontalScrollBar()->setPageStep(viewport()->width());
  horizontalScrollBar()->setRange(0, std::max(0, WidestPixels + 2 * kMarginPixels - viewport()->width()));
  Scrolling = false;
}

void RxView::scrollContentsBy(int /*dx*/, int /*dy*/) {
  if (Scrolling) {
    viewport()->update();
    return;
  }
  const QScrollBar* bar = verticalScrollBar();
  TopNumber = Before + static_cast<std::uint64_t>(bar->value());
  Follow = bar->value() >= bar->maximum();  // back at the end: following again
  viewport()->update();
}

void RxView::FollowNewest() {
  Follow = true;
  CatchUp();
}

void RxView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  CatchUp();
}

void RxView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    CopySelection();
    return;
  }
  if (MoveCursor(event)) {
    return;
  }
  if (event->key() == Qt::Key_End) {
    FollowNewest();
    return;
  }
  if (event->key() == Qt::Key_Home) {
    Follow = false;
    TopNumber = Before;
    UpdateScrollRange();
    viewport()->update();
    return;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

bool RxView::RowIndex(int row, std::uint64_t& index) const {
  // Numbers among all lines ever made stay put while the oldest lines go, frozen or not.
  const std::uint64_t number = TopNumber + static_cast<std::uint64_t>(row);
  if (History == nullptr || number >= Before + Count || number < History->LinesBefore(Shown)) {
    return false;
  }
  index = number - History->LinesBefore(Shown);
  return index < History->LineCount(Shown, UpTo);
}

// Every place the sought text is in the line, marked behind it; the current match's line
// more strongly.
void RxView::MarkMatches(QPainter& painter, const QString& line, int x, int y, bool current) const {
  if (Sought.isEmpty()) {
    return;
  }
  const QFontMetrics metrics = fontMetrics();
  const QColor mark = current ? QColor(255, 150, 50) : QColor(255, 230, 120);
  // Find looks in what came, not in the stamps before it: neither are they marked.
  const qsizetype from = Stamps ? static_cast<qsizetype>(terminal::kStampLength) : 0;
  for (qsizetype at = line.indexOf(Sought, from, SoughtCase); at >= 0;
       at = line.indexOf(Sought, at + Sought.size(), SoughtCase)) {
    const int left = ColumnLeft(line, at);
    painter.fillRect(x + left, y, ColumnLeft(line, at + Sought.size()) - left, metrics.lineSpacing(), mark);
  }
}

QString RxView::LineShown(std::uint64_t index, terminal::Direction* from) const {
  std::string text;
  const terminal::RxHistory::LineInfo info = History->AppendLine(Shown, index, text, UpTo);
  if (Stamps) {
    text.insert(0, terminal::StampText(info.MsOfDay));
  }
  if (from != nullptr) {
    *from = info.From;
  }
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

void RxView::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(viewport());
  painter.setFont(font());
  const QFontMetrics metrics = fontMetrics();
  const int height = metrics.lineSpacing();
  const int x = kMarginPixels - horizontalScrollBar()->value();
  const QColor received = palette().color(QPalette::Text);
  bool wider = false;
  std::uint64_t index = 0;
  for (int row = 0; row <= LinesInSight() && RowIndex(row, index); ++row) {  // and part of one more
    terminal::Direction from = terminal::Direction::Received;
    const QString line = LineShown(index, &from);
    MarkSelection(painter, line, TopNumber + static_cast<std::uint64_t>(row), x, row * height);
    MarkMatches(painter, line, x, row * height, TopNumber + static_cast<std::uint64_t>(row) == Match);
    painter.setPen(from == terminal::Direction::Sent   ? kSentColour
                   : from == terminal::Direction::Note ? kNoteColour
                                                       : received);
    DrawColumns(painter, line, x, row * height + metrics.ascent());
    const int width = ColumnLeft(line, line.size());
    if (width > WidestPixels) {
      WidestPixels = width;
      wider = true;
    }
  }
  if (wider) {
    Scrolling = true;
    horizontalScrollBar()->setRange(0, std::max(0, WidestPixels + 2 * kMarginPixels - viewport()->width()));
    Scrolling = false;
  }
}

RxView::Found RxView::FindNext(const QString& text, bool forward, bool matchCase) {
  if (History == nullptr || text.isEmpty()) {
    return Found::No;
  }
  const std::uint64_t before = History->LinesBefore(Shown);
  const std::uint64_t count = History->LineCount(Shown, UpTo);
  if (count == 0) {
    return Found::No;
  }
  const Qt::CaseSensitivity wanted = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
  const std::uint64_t last = count - 1;
  if (!FollowedBeforeFind) {
    FollowedBeforeFind = Follow;
  }
  // Where the search starts: after the current match for the same text, else the view's place.
  const std::uint64_t end = forward ? 0 : last;  // where a search that passed the end goes on
  std::uint64_t from = 0;
  bool wrapped = false;
  if (text == Sought && wanted == SoughtCase && Match && *Match >= before && *Match - before < count) {
    const std::uint64_t current = *Match - before;
    wrapped = current == (forward ? last : 0);
    from = wrapped ? end : (forward ? current + 1 : current - 1);
  } else {
    const std::uint64_t top = TopNumber > before ? std::min(TopNumber - before, last) : 0;
    const auto sight = static_cast<std::uint64_t>(std::max(1, LinesInSight()));
    from = forward ? top : std::min(top + sight - 1, last);
  }
  Sought = text;
  SoughtCase = wanted;
  const QByteArray needle = text.toLatin1();
  const std::string_view sought(needle.constData(), static_cast<std::size_t>(needle.size()));
  auto match = History->Find(Shown, sought, from, forward, matchCase, UpTo);
  if (!match && from != end) {
    match = History->Find(Shown, sought, end, forward, matchCase, UpTo);
    wrapped = true;
  }
  if (!match) {
    viewport()->update();
    return Found::No;
  }
  Match = before + match->Line;
  ShowNumber(*Match);
  return wrapped ? Found::AfterWrapping : Found::Yes;
}

void RxView::EndFind() {
  Sought.clear();
  Match.reset();
  if (FollowedBeforeFind.value_or(false)) {
    FollowNewest();
  }
  FollowedBeforeFind.reset();
  viewport()->update();
}

void RxView::ShowNumber(std::uint64_t number) {
  const auto sight = static_cast<std::uint64_t>(LinesInSight());
  if (number < TopNumber || number >= TopNumber + sight) {
    TopNumber = number > sight / 2 ? number - sight / 2 : 0;
    TopNumber = std::max(TopNumber, Before);
  }
  Follow = false;
  CatchUp();  // keeps the top line, clamped to the history
}

QString RxView::LineOfNumber(std::uint64_t number) const {
  if (History == nullptr || number < History->LinesBefore(Shown) || number >= Before + Count) {
    return {};
  }
  const std::uint64_t index = number - History->LinesBefore(Shown);
  return index < History->LineCount(Shown, UpTo) ? LineShown(index) : QString();
}

RxView::Place RxView::PlaceAt(QPoint point) const {
  const QFontMetrics metrics = fontMetrics();
  const int row = std::max(0, point.y() / std::max(1, metrics.lineSpacing()));
  const std::uint64_t number =
      std::min(TopNumber + static_cast<std::uint64_t>(row), Before + (Count > 0 ? Count - 1 : 0));
  const int x = point.x() - kMarginPixels + horizontalScrollBar()->value();
  const QString line = LineOfNumber(number);
  if (Pitch > 0) {
    return {number, std::clamp<qsizetype>((x + Pitch / 2) / Pitch, 0, line.size())};
  }
  qsizetype column = 0;
  while (column < line.size() &&
         metrics.horizontalAdvance(line.left(column + 1)) <= x + metrics.averageCharWidth() / 2) {
    ++column;
  }
  return {number, column};
}

void RxView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  const Place place = PlaceAt(event->position().toPoint());
  Select((event->modifiers() & Qt::ShiftModifier) != 0 && Anchor ? *Anchor : place, place);
}

void RxView::mouseMoveEvent(QMouseEvent* event) {
  if ((event->buttons() & Qt::LeftButton) != 0 && Anchor) {
    Select(*Anchor, PlaceAt(event->position().toPoint()));
  }
}

// Shift and an arrow key (or Home and End of a line) moves the selection's end.
bool RxView::MoveCursor(QKeyEvent* event) {
  if ((event->modifiers() & Qt::ShiftModifier) == 0 || Count == 0) {
    return false;
  }
  Place to = Anchor ? Cursor : Place{TopNumber, 0};
  const Place from = Anchor ? *Anchor : to;
  const std::uint64_t last = Before + Count - 1;
  switch (event->key()) {
    case Qt::Key_Left:
      if (to.Column > 0) {
        --to.Column;
      } else if (to.Number > Before) {
        --to.Number;
        to.Column = LineOfNumber(to.Number).size();
      }
      break;
    case Qt::Key_Right:
      if (to.Column < LineOfNumber(to.Number).size()) {
        ++to.Column;
      } else if (to.Number < last) {
        ++to.Number;
        to.Column = 0;
      }
      break;
    case Qt::Key_Up:
      to.Number = to.Number > Before ? to.Number - 1 : to.Number;
      break;
    case Qt::Key_Down:
      to.Number = std::min(to.Number + 1, last);
      break;
    default:
      return false;
  }
  to.Column = std::min(to.Column, LineOfNumber(to.Number).size());
  Select(from, to);
  ShowNumber(to.Number);
  return true;
}

void RxView::Select(Place from, Place to) {
  Anchor = from;
  Cursor = to;
  viewport()->update();
}

QString RxView::SelectedText() const {
  if (!Anchor || *Anchor == Cursor) {
    return {};
  }
  const Place first = std::min(*Anchor, Cursor);
  const Place last = std::max(*Anchor, Cursor);
  QStringList parts;
  for (std::uint64_t number = first.Number; number <= last.Number; ++number) {
    const QString line = LineOfNumber(number);
    const qsizetype from = number == first.Number ? first.Column : 0;
    const qsizetype to = number == last.Number ? last.Column : line.size();
    parts << line.mid(from, std::max<qsizetype>(0, to - from));
  }
  return parts.join(QLatin1Char('\n'));
}

void RxView::CopySelection() const {
  const QString text = SelectedText();
  if (!text.isEmpty()) {
    QApplication::clipboard()->setText(text);
  }
}

void RxView::MarkSelection(QPainter& painter, const QString& line, std::uint64_t number, int x, int y) const {
  if (!Anchor || *Anchor == Cursor) {
    return;
  }
  const Place first = std::min(*Anchor, Cursor);
  const Place last = std::max(*Anchor, Cursor);
  if (number < first.Number || number > last.Number) {
    return;
  }
  const QFontMetrics metrics = fontMetrics();
  const qsizetype from = number == first.Number ? first.Column : 0;
  const qsizetype to = number == last.Number ? last.Column : line.size() + 1;  // and the line end
  const int left = x + ColumnLeft(line, from);
  const int right =
      x + ColumnLeft(line, std::min(to, line.size())) + (to > line.size() ? metrics.averageCharWidth() : 0);
  painter.fillRect(left, y, right - left, metrics.lineSpacing(),
                   palette().color(QPalette::Highlight).lighter(160));
}

QStringList RxView::VisibleLines() const {
  QStringList lines;
  std::uint64_t index = 0;
  for (int row = 0; row < LinesInSight() && RowIndex(row, index); ++row) {
    lines << LineShown(index);
  }
  return lines;
}

QString RxView::AllText() const {
  QStringList lines;
  // Lines gone from the history since the view caught up (while frozen) are left out.
  for (std::uint64_t number = History != nullptr ? std::max(Before, History->LinesBefore(Shown)) : Before;
       number < Before + Count; ++number) {
    lines << LineOfNumber(number);
  }
  return lines.join(QLatin1Char('\n'));
}

}  // namespace korvani::ui
