// SPDX-License-Identifier: GPL-3.0-or-later
// For measuring the program from outside: when KORVANI_PAINT_TRACE names a file, every
// repaint of the watched widgets appends a line to it with the system's monotonic clock in
// nanoseconds, so a tool in another process can tell the longest time a view went unrepainted.
#pragma once

#include <QEvent>
#include <QObject>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <string>

namespace korvani::ui {

class PaintTrace final : public QObject {
 public:
  explicit PaintTrace(const std::string& path) : File(std::fopen(path.c_str(), "w")) {}
  PaintTrace(const PaintTrace&) = delete;
  PaintTrace& operator=(const PaintTrace&) = delete;
  ~PaintTrace() override {
    if (File != nullptr) {
      std::fclose(File);
    }
  }

  void Watch(QWidget* widget) { widget->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && File != nullptr) {
      const auto now = std::chrono::steady_clock::now().time_since_epoch();
      // A line per repaint, written at once: the tool may stop the program at any time.
      std::fprintf(File, "%lld\n",
                   static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
      std::fflush(File);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::FILE* File;
};

}  // namespace korvani::ui
