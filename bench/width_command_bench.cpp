// SPDX-License-Identifier: GPL-3.0-or-later
// The board's width command ("V") on the real drawing surface: the message arrives, the
// screen and its font are set up for the new width, and the reply is on the wire.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFont>

#include "adapters/qt_drawing_surface.h"
#include "app/panel.h"
#include "fakes/fake_panel_view.h"
#include "fakes/fake_platform.h"

namespace {

void BM_WidthCommandRoundTrip(benchmark::State& state) {
  korvani::fakes::FakePlatform fake;
  fake.Devices.Names = {"Board (COM1)"};  // the one port, opened at start-up
  korvani::fakes::FakeSerialPort& port = fake.Port;
  korvani::fakes::FakePanelView view;
  view.Heights = {7200, 10200};
  korvani::ui::SurfaceWidget widget;
  korvani::ui::QtDrawingSurface surface(widget);
  korvani::app::Panel panel(fake.With(port, surface), view);
  panel.FormLoad();

  // Alternating widths, so every message sizes the screen anew.
  const std::string messages[] = {"\x01V20\x02OK\x03",
                                  "\x01V" + std::to_string(state.range(0)) + "\x02OK\x03"};
  std::size_t next = 0;
  for (auto _ : state) {
    port.Written.clear();
    port.Arrive(messages[next]);
    next ^= 1U;
    if (port.Written != "OK\x04") {
      state.SkipWithError("no reply");
      break;
    }
  }
}
BENCHMARK(BM_WidthCommandRoundTrip)->Arg(40)->Arg(107)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
