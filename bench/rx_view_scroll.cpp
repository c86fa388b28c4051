// SPDX-License-Identifier: GPL-3.0-or-later
// rx_view_scroll: the Terminal tab's receive view, shown in a window of this tool's own process,
// over a full history of 1,000,000 lines of 80 bytes with time stamps on, dragged from the end
// to the start and back in 2,000 steps in each form; and over 40 MB that never ends a line. A frame is one
// move of the scroll bar and the view's repaint, timed until the repaint is done; the longest, the 99th
// percentile and the median are reported. Under an X server (Xvfb in CI) the repaint is also put on the
// screen; offscreen it ends in the window's picture.
//
// Usage: rx_view_scroll [--steps N]
#include <QApplication>
#include <QScrollBar>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "program_process.h"
#include "terminal/rx_history.h"
#include "ui/rx_view.h"

namespace {

using korvani::terminal::HistoryForm;
using korvani::terminal::RxHistory;

struct Frames {
  double Longest = 0;
  double P99 = 0;
  double Median = 0;
  std::size_t Count = 0;
};

Frames Drag(korvani::ui::RxView& view, int steps) {
  QScrollBar& bar = *view.verticalScrollBar();
  const int most = bar.maximum();
  std::vector<double> ms;
  const auto frame = [&](int value) {
    const auto start = std::chrono::steady_clock::now();
    bar.setValue(value);
    view.viewport()->repaint();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  };
  for (int i = steps; i >= 0; --i) {
    frame(static_cast<int>(static_cast<std::int64_t>(most) * i / steps));
  }
  for (int i = 1; i <= steps; ++i) {
    frame(static_cast<int>(static_cast<std::int64_t>(most) * i / steps));
  }
  std::sort(ms.begin(), ms.end());
  return {ms.back(), ms[ms.size() * 99 / 100], ms[ms.size() / 2], ms.size()};
}

}  // namespace

int main(int argc, char* argv[]) {
  int steps = 2000;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--steps" && i + 1 < argc) {
      steps = std::max(1, std::stoi(argv[++i]));
    } else {
      std::fprintf(stderr, "Usage: rx_view_scroll [--steps N]\n");
      return 2;
    }
  }
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  QApplication app(argc, argv);
  RxHistory history;
  std::string block;
  for (int i = 0; i < 50; ++i) {
    std::string line = "line " + std::to_string(i) + " ";
    line.resize(78, 'x');
    block += line + "\r\n";
  }
  for (int i = 0; i < 1000000 / 50; ++i) {
    history.Add(block, i * 3);
  }
  // A board that never ends a line: 40 MB of bytes with no CR or LF, most of them shown as
  // four-character escapes, so every line is as long as the view takes one.
  RxHistory endless;
  std::string binary(1 << 20, '\0');
  for (std::size_t i = 0; i < binary.size(); ++i) {
    const auto byte = static_cast<char>(i * 7 % 256);
    binary[i] = byte == '\r' || byte == '\n' ? 'x' : byte;
  }
  for (int i = 0; i < 40; ++i) {
    endless.Add(binary, i);
  }

  korvani::ui::RxView view;
  view.resize(1000, 700);
  view.SetTimestamps(true);
  view.show();
  std::printf("The receive view in rx_view_scroll's own process; platform %s; time stamps on\n\n",
              korvani::bench::PlatformName().c_str());
  std::printf(
      "| History, form | frames | longest ms | 99th percentile ms | median ms |\n|---|---|---|---|---|\n");
  struct Case {
    const char* Name;
    const RxHistory* Kept;
    HistoryForm Form;
    bool Middle;  // scrolled to the middle of the lines' width
  };
  const Case cases[] = {
      {"1,000,000 lines of 80 bytes, ASCII", &history, HistoryForm::Ascii, false},
      {"the same, hex (3,200,000 rows)", &history, HistoryForm::Hex, false},
      {"40 MB without a line end, ASCII, scrolled to the lines' middle", &endless, HistoryForm::Ascii, true},
  };
  for (const Case& c : cases) {
    view.SetHistory(c.Kept);
    view.SetForm(c.Form);
    view.HistoryChanged();
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(300)) {
      QApplication::processEvents();  // caught up and shown
    }
    if (c.Middle) {
      view.viewport()->repaint();  // the lines' width is known once drawn
      view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum() / 2);
    }
    const Frames frames = Drag(view, steps);
    std::printf("| %s | %zu | %.2f | %.2f | %.2f |\n", c.Name, frames.Count, frames.Longest, frames.P99,
                frames.Median);
  }
  return 0;
}
