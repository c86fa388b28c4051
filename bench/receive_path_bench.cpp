// SPDX-License-Identifier: GPL-3.0-or-later
// The core receive path on a stream of mixed traffic: the receive view's history, the HMI
// framer and the command dispatch, on 4 KiB chunks, the terminal logs off.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/panel.h"
#include "fakes/fake_panel_view.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_serial_port.h"
#include "fakes/fake_surface.h"
#include "mixed_traffic.h"

namespace {

using korvani::bench::MixedTraffic;

constexpr std::size_t kChunk = 4096;

// The real panel with an open fake port and every other platform piece faked.
struct PanelOnFakes {
  PanelOnFakes() { Platform.Port.Open = true; }
  korvani::fakes::FakePlatform Platform;
  korvani::fakes::FakePanelView View;
  korvani::app::Panel Panel{Platform.Get(), View};
};

void BM_ReceivePathMixedTraffic(benchmark::State& state) {
  PanelOnFakes fakes;
  korvani::fakes::FakeSerialPort& port = fakes.Platform.Port;
  korvani::app::Panel& panel = fakes.Panel;
  std::size_t messages = 0;
  panel.Current().Link().Commands().Bind('@',
                                         [&messages](const korvani::hmi::link::Arguments&) { ++messages; });
  const bool hexView = state.range(0) != 0;
  if (hexView) {
    panel.Current().Receive().ShowHex();
  }

  const std::string traffic = MixedTraffic(kChunk * 256);
  std::vector<std::string> chunks;
  for (std::size_t at = 0; at < traffic.size(); at += kChunk) {
    chunks.push_back(traffic.substr(at, kChunk));
  }
  std::size_t next = 0;
  for (auto _ : state) {
    port.Arrive(chunks[next]);
    next = (next + 1) % chunks.size();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kChunk));
  state.counters["messages"] = static_cast<double>(messages);
  state.SetLabel(hexView ? "hex view shown" : "ascii view shown");
}
BENCHMARK(BM_ReceivePathMixedTraffic)->Arg(0)->Arg(1);

void BM_ReceivePathHundredKilobyteChunk(benchmark::State& state) {
  PanelOnFakes fakes;
  korvani::fakes::FakeSerialPort& port = fakes.Platform.Port;
  korvani::app::Panel& panel = fakes.Panel;
  panel.Current().Link().Commands().Bind('@', [](const korvani::hmi::link::Arguments&) {});
  const std::string chunk = MixedTraffic(100000);
  for (auto _ : state) {
    port.Arrive(chunk);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * chunk.size()));
}
BENCHMARK(BM_ReceivePathHundredKilobyteChunk);

}  // namespace
