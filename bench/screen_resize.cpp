// SPDX-License-Identifier: GPL-3.0-or-later
// screen_resize: the board's screen, in the real window of this tool's own process, grown from
// the size it opens at to a 1920 x 1080 window and back, with a full screen of coloured text,
// 100 soft buttons and 20 bar graphs drawn since the last clear. A resize is the refit (the
// font search, the picture drawn again, every button placed again) and the screen's repaint,
// timed until the repaint is done; the longest and the median of the runs are reported.
// Under an X server (Xvfb in CI) the repaint is also put on the screen.
//
// Usage: screen_resize [--runs N]
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "program_process.h"
#include "ui/korvani_app.h"

namespace {

// SOH, the command letter and its arguments separated by STX, ETX.
std::string Message(char command, const std::vector<std::string>& args) {
  std::string message = "\x01";
  message += command;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (i > 0) {
      message += '\x02';
    }
    message += args[i];
  }
  return message + "\x03";
}

}  // namespace

int main(int argc, char* argv[]) {
  int runs = 20;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::stoi(argv[++i]));
    } else {
      std::fprintf(stderr, "Usage: screen_resize [--runs N]\n");
      return 2;
    }
  }
  QApplication app(argc, argv);
  korvani::ui::KorvaniApp program({{}, false, {}, {}});
  program.Start();
  korvani::app::Panel& panel = program.Panel();
  korvani::ui::FrmTerminal& window = program.Window();
  const QSize opened = window.size();

  std::string board = Message('R', {});
  const int rows = panel.Current().Screen().ScreenRows();
  const int columns = panel.Current().Screen().ScreenColumns();
  for (int row = 0; row < rows; ++row) {
    board += Message('K', {std::to_string(row * 9 % 256), "200", std::to_string(255 - row * 9 % 256)});
    board += Message('F', {std::to_string(row), "0"});
    board +=
        Message('@', {std::string(static_cast<std::size_t>(columns), static_cast<char>('A' + row % 26))});
  }
  for (int bar = 0; bar < 20; ++bar) {
    std::string value = "0.";
    value += std::to_string(bar * 5);
    board += Message('Q', {std::to_string(bar + 2), "5", "1", "20", value});
  }
  for (int button = 1; button <= 100; ++button) {
    std::string caption = "B";
    caption += std::to_string(button);
    board +=
        Message('O', {std::to_string(button), std::to_string((button - 1) / 10 * 2),
                      std::to_string((button - 1) % 10 * 4), "2", "4", caption, "", std::to_string(button)});
  }
  panel.Current().Link().Receive(board);
  QApplication::processEvents();

  std::vector<double> ms;
  double points = 0;
  for (int run = 0; run < 2 * runs; ++run) {
    const QSize size = run % 2 == 0 ? QSize(1920, 1080) : opened;
    window.resize(size);
    QApplication::processEvents();  // the layout settles
    const auto start = std::chrono::steady_clock::now();
    const QSize extra = window.size() - window.sizeHint();
    panel.Current().Screen().GrowBy(std::max(0, extra.width()) * 15.0, std::max(0, extra.height()) * 15.0);
    window.Ui().picHMI1->repaint();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    if (run % 2 == 0) {
      points = panel.Current().Screen().FontPoints();
    }
  }
  std::sort(ms.begin(), ms.end());
  std::printf("The board's screen in screen_resize's own process; platform %s\n\n",
              korvani::bench::PlatformName().c_str());
  std::printf("| Resize | runs | longest ms | median ms |\n|---|---|---|---|\n");
  std::printf(
      "| %d x %d to 1920 x 1080 (%.2f pt) and back, %d x %d text, 100 buttons, 20 bars | %zu | %.2f | %.2f "
      "|\n",
      opened.width(), opened.height(), points, columns, rows, ms.size(), ms.back(), ms[ms.size() / 2]);
  return 0;
}
