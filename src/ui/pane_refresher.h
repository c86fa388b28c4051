// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the newest text of a text pane at display rate: when pieces come faster than an eye
// can follow, the pane is rebuilt once per interval with the latest text, never per piece.
// A pane on a tab that is not in view keeps its text but is scrolled only when it comes
// into view.
#pragma once

#include <QEvent>
#include <QObject>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTimer>
#include <string>
#include <string_view>

namespace korvani::ui {

class PaneRefresher final : public QObject {
 public:
  using Convert = QString (*)(std::string_view);

  // A pane whose text is given with each Show and rebuilt at most every `intervalMs`.
  PaneRefresher(QPlainTextEdit* pane, int intervalMs, Convert convert) : Pane(pane), ToText(convert) {
    Timer.setSingleShot(true);
    Timer.setInterval(intervalMs);
    QObject::connect(&Timer, &QTimer::timeout, this, [this] { Refresh(); });
    Pane->installEventFilter(this);
  }

 protected:
  // A pane that comes into view scrolls to its newest text.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == Pane && event->type() == QEvent::Show && Stale) {
      Schedule();
    }
    return QObject::eventFilter(watched, event);
  }

 public:
  void Show(std::string_view text) {
    Pending.assign(text);
    Schedule();
  }

 private:
  void Schedule() {
    if (!Timer.isActive()) {
      Timer.start();
    }
  }

  void Refresh() {
    Pane->setPlainText(ToText(Pending));
    // Out of view (its tab page hidden) the text is kept current, but the pane is not laid out
    // to scroll to the end: that costs as much as the rest and shows nothing. It scrolls when
    // it comes into view.
    if (!Pane->isVisibleTo(Pane->window())) {
      Stale = true;
      return;
    }
    Stale = false;
    Pane->moveCursor(QTextCursor::End);
    Pane->ensureCursorVisible();
  }

  QPlainTextEdit* Pane;
  Convert ToText;
  std::string Pending;
  bool Stale = false;
  QTimer Timer;
};

}  // namespace korvani::ui
