// Shows the newest text of a text pane at display rate: when pieces come faster than an eye
// can follow, the pane is rebuilt once per interval with the latest text, never per piece.
#pragma once

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTimer>
#include <functional>
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
    Source = nullptr;
    Schedule();
  }

  // The text changed; it is read from `source` when the pane is rebuilt, so a pane fed per
  // chunk copies nothing per chunk. `source` must stay valid until then.
  void Changed(std::function<std::string_view()> source) {
    Source = std::move(source);
    Schedule();
  }

 private:
  void Schedule() {
    if (!Timer.isActive()) {
      Timer.start();
    }
  }

  void Refresh() {
    Pane->setPlainText(ToText(Source ? Source() : std::string_view(Pending)));
    Pane->moveCursor(QTextCursor::End);
    Pane->ensureCursorVisible();
  }

  QPlainTextEdit* Pane;
  Convert ToText;
  std::string Pending;
  std::function<std::string_view()> Source;
  QTimer Timer;
};

}  // namespace korvani::ui
