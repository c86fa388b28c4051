// SPDX-License-Identifier: GPL-3.0-or-later
// The console's input: keys typed and the bytes they are sent as, a paste paced for a slow
// board, and the selection made with the mouse and copied.
#include "ui/console_view.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <optional>
#include <utility>

namespace korvani::ui {

namespace {

std::optional<console::Key> KeyOf(int key) {
  using console::Key;
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return Key::Enter;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return Key::Tab;
    case Qt::Key_Backspace:
      return Key::Backspace;
    case Qt::Key_Escape:
      return Key::Escape;
    case Qt::Key_Up:
      return Key::Up;
    case Qt::Key_Down:
      return Key::Down;
    case Qt::Key_Left:
      return Key::Left;
    case Qt::Key_Right:
      return Key::Right;
    case Qt::Key_Insert:
      return Key::Insert;
    case Qt::Key_Delete:
      return Key::Delete;
    case Qt::Key_Home:
      return Key::Home;
    case Qt::Key_End:
      return Key::End;
    case Qt::Key_PageUp:
      return Key::PageUp;
    case Qt::Key_PageDown:
      return Key::PageDown;
    default:
      break;
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
    return static_cast<Key>(static_cast<int>(Key::F1) + (key - Qt::Key_F1));
  }
  return std::nullopt;
}

}  // namespace

QPoint ConsoleView::CellAt(const QPoint& point) const {
  return {std::clamp(point.x() / CellWidth, 0, ShownColumns - 1), point.y() / CellHeight + TopRow()};
}

std::pair<QPoint, QPoint> ConsoleView::Selection() const {
  const auto key = [](const QPoint& at) { return std::pair(at.y(), at.x()); };
  return key(SelectTo) < key(SelectFrom) ? std::pair(SelectTo, SelectFrom) : std::pair(SelectFrom, SelectTo);
}

bool ConsoleView::Selected(int row, int column) const {
  if (SelectFrom == SelectTo) {
    return false;
  }
  const auto [from, to] = Selection();
  return std::pair(row, column) >= std::pair(from.y(), from.x()) &&
         std::pair(row, column) < std::pair(to.y(), to.x());
}

void ConsoleView::Type(const std::string& bytes) {
  if (bytes.empty()) {
    return;
  }
  if (Send) {
    Send(bytes);
  }
  if (LocalEcho) {
    Feed(bytes);
  }
  QScrollBar* bar = verticalScrollBar();
  bar->setValue(bar->maximum());  // typing brings the screen back into view
}

void ConsoleView::PasteText(const QString& text) {
  const bool paced = PasteCharMs > 0 || PasteLineMs > 0;
  for (const char32_t c : text.toUcs4()) {
    if (c == U'\r') {
      continue;  // a line ends as Enter sends it
    }
    const bool lineEnd = c == U'\n';
    std::string bytes = lineEnd ? KeyBytes(console::Key::Enter, {}) : CharBytes(c, {});
    if (!paced && !PasteQueue.empty()) {
      PasteQueue.back().Bytes += bytes;
    } else {
      PasteQueue.push_back({std::move(bytes), PasteCharMs + (lineEnd ? PasteLineMs : 0)});
    }
  }
  if (!PasteTimer.isActive()) {
    SendNextPasted();
  }
}

void ConsoleView::SendNextPasted() {
  if (PasteQueue.empty()) {
    return;
  }
  const Pasted next = std::move(PasteQueue.front());
  PasteQueue.pop_front();
  Type(next.Bytes);
  if (!PasteQueue.empty()) {
    PasteTimer.start(next.PauseMs);
  }
}

void ConsoleView::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers();
  const bool ctrl = mods.testFlag(Qt::ControlModifier);
  const bool shift = mods.testFlag(Qt::ShiftModifier);
  if (ctrl && shift && event->key() == Qt::Key_C) {
    QApplication::clipboard()->setText(SelectedText());
    return;
  }
  if (ctrl && shift && event->key() == Qt::Key_V) {
    PasteText(QApplication::clipboard()->text());
    return;
  }
  if (shift && (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown)) {
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + (event->key() == Qt::Key_PageUp ? -bar->pageStep() : bar->pageStep()));
    return;
  }
  const console::Modifiers with{shift, mods.testFlag(Qt::AltModifier), ctrl};
  if (const std::optional<console::Key> key = KeyOf(event->key())) {
    Type(KeyBytes(*key, with));
    return;
  }
  if (ctrl && event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z) {
    Type(CharBytes(static_cast<char32_t>(U'a' + (event->key() - Qt::Key_A)), with));
    return;
  }
  const QString text = event->text();
  if (text.isEmpty()) {
    QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  std::string bytes;
  for (const char32_t c : text.toUcs4()) {
    if (c >= 0x20 && c != 0x7F) {
      bytes += CharBytes(c, {false, with.Alt, false});
    }
  }
  Type(bytes);
}

void ConsoleView::mousePressEvent(QMouseEvent* event) {
  setFocus();
  if (event->button() == Qt::LeftButton) {
    SelectFrom = SelectTo = CellAt(event->position().toPoint());
    viewport()->update();
  }
}

void ConsoleView::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons().testFlag(Qt::LeftButton)) {
    SelectTo = CellAt(event->position().toPoint());
    SelectTo.rx() += 1;  // the cell under the pointer is taken
    viewport()->update();
  }
}

QString ConsoleView::SelectedText() const {
  if (SelectFrom == SelectTo) {
    return {};
  }
  const auto [from, to] = Selection();
  QStringList lines;
  const std::lock_guard lock(ScreenGuard);
  for (int row = from.y(); row <= to.y(); ++row) {
    const QString line = QString::fromStdString(Screen.TextOf(row));
    const int start = row == from.y() ? from.x() : 0;
    const int end = row == to.y() ? to.x() : static_cast<int>(line.size());
    lines << line.mid(start, std::max(0, end - start));
  }
  return lines.join(QLatin1Char('\n'));
}

std::string ConsoleView::KeyBytes(console::Key key, console::Modifiers with) {
  const std::lock_guard lock(ScreenGuard);
  return Screen.KeyBytes(key, with);
}

std::string ConsoleView::CharBytes(char32_t character, console::Modifiers with) {
  const std::lock_guard lock(ScreenGuard);
  return Screen.CharBytes(character, with);
}

bool ConsoleView::focusNextPrevChild(bool /*next*/) {
  return false;
}

}  // namespace korvani::ui
