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
  return {std::clamp(point.x() / CellWidth, 0, Core.Columns() - 1), point.y() / CellHeight + TopRow()};
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
  Core.Type(bytes);
  QScrollBar* bar = verticalScrollBar();
  bar->setValue(bar->maximum());  // typing brings the screen back into view
}

void ConsoleView::PasteText(const QString& text) {
  const QList<uint> codes = text.toUcs4();
  Core.PasteText(std::u32string(codes.begin(), codes.end()));
}

void ConsoleView::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers();
  const bool ctrl = mods.testFlag(Qt::ControlModifier);
  const bool shift = mods.testFlag(Qt::ShiftModifier);
  const int key = event->key();
  if (ctrl && shift && key == Qt::Key_C) {
    QApplication::clipboard()->setText(SelectedText());
    return;
  }
  if (ctrl && shift && key == Qt::Key_V) {
    PasteText(QApplication::clipboard()->text());
    return;
  }
  if (key == Qt::Key_Escape && Core.Pasting()) {
    Core.StopPaste();  // Escape stops a paste still going out, and is not sent
    return;
  }
  if (shift && (key == Qt::Key_PageUp || key == Qt::Key_PageDown)) {
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + (key == Qt::Key_PageUp ? -bar->pageStep() : bar->pageStep()));
    return;
  }
  const console::Modifiers with{shift, mods.testFlag(Qt::AltModifier), ctrl};
  if (const std::optional<console::Key> named = KeyOf(key)) {
    Type(Core.KeyBytes(*named, with));
    return;
  }
  if (ctrl && key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde) {
    // Ctrl with a character key (the key's code is its character's): what xterm sends, such
    // as CR for Ctrl+M and ESC for Ctrl+[, whatever the text the keyboard layout made of it.
    const char32_t character = key >= Qt::Key_A && key <= Qt::Key_Z ? U'a' + (key - Qt::Key_A) : key;
    Type(Core.CharBytes(character, with));
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
      bytes += Core.CharBytes(c, {false, with.Alt, false});
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

// The cells highlighted, read by their columns (a wide character or a mark is one cell's
// text, not one letter of the row's).
QString ConsoleView::SelectedText() {
  if (SelectFrom == SelectTo) {
    return {};
  }
  const auto [from, to] = Selection();
  QStringList lines;
  for (int row = from.y(); row <= to.y(); ++row) {
    const int start = row == from.y() ? from.x() : 0;
    const int end = row == to.y() ? to.x() : console::ScreenEmulator::kAllColumns;
    lines << QString::fromStdString(Core.TextOf(row, start, end));
  }
  return lines.join(QLatin1Char('\n'));
}

bool ConsoleView::focusNextPrevChild(bool /*next*/) {
  return false;
}

}  // namespace korvani::ui
