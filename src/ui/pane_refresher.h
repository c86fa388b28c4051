// Shows the newest text of a text pane at display rate: when pieces come faster than an eye
// can follow, the pane is rebuilt once per interval with the latest text, never per piece.
#pragma once

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTimer>
#include <string>
#include <string_view>

namespace korvani::ui {

class PaneRefresher {
 public:
  using Convert = QString (*)(std::string_view);

  PaneRefresher(QPlainTextEdit* pane, int intervalMs, Convert convert) : Pane(pane), ToText(convert) {
    Timer.setSingleShot(true);
    Timer.setInterval(intervalMs);
    QObject::connect(&Timer, &QTimer::timeout, [this] { Refresh(); });
  }

  void Show(std::string_view text) {
    Pending.assign(text);
    if (!Timer.isActive()) {
      Timer.start();
    }
  }

 private:
  void Refresh() {
    Pane->setPlainText(ToText(Pending));
    Pane->moveCursor(QTextCursor::End);
    Pane->ensureCursorVisible();
  }

  QPlainTextEdit* Pane;
  Convert ToText;
  std::string Pending;
  QTimer Timer;
};

}  // namespace korvani::ui
