// SPDX-License-Identifier: GPL-3.0-or-later
// The fuzzer's bytes are a script and what the board sends it: up to the first 0xFF byte the
// script, then chunks of received bytes, one per later 0xFF. The script runs with no way to
// the disk or to other programs (io, os, package and debug taken away before it), a small
// memory cap and short slices; whatever it does, the runner must end it cleanly.
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "script/script_runner.h"

namespace {

using korvani::script::LineRequest;
using korvani::script::RunState;
using korvani::script::ScreenPlace;

class QuietHost final : public korvani::script::ScriptHost {
 public:
  bool Send(std::string_view bytes) override { return bytes.size() < 4096; }
  [[nodiscard]] std::string LineEnding() const override { return "\n"; }
  [[nodiscard]] std::optional<std::string> ScreenRow(int row) const override {
    return row == 1 ? std::optional<std::string>("Ready") : std::nullopt;
  }
  [[nodiscard]] std::optional<ScreenPlace> FindOnScreen(std::string_view text) const override {
    return text == "Ready" ? std::optional<ScreenPlace>(ScreenPlace{1, 1}) : std::nullopt;
  }
  [[nodiscard]] std::optional<long long> ColourAt(ScreenPlace place) const override {
    return place.Row == 1 ? std::optional<long long>(0) : std::nullopt;
  }
  std::string Press(std::string_view caption) override { return caption.empty() ? "none" : ""; }
  std::string Press(int number) override { return number == 1 ? "" : "none"; }
  std::string Enter(std::string_view value) override { return value.empty() ? "none" : ""; }
  std::string SetLine(const LineRequest& request) override { return request.Baud ? "" : "none"; }
  std::string SendBreak(double /*seconds*/) override { return ""; }
  void Output(std::string_view /*text*/) override {}
};

constexpr std::string_view kWalledIn = "io, os, package, debug, require, dofile, loadfile = nil ";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t scriptEnds = input.find('\xff');
  const std::string script = std::string(kWalledIn) + std::string(input.substr(0, scriptEnds));
  std::string_view rest =
      scriptEnds == std::string_view::npos ? std::string_view() : input.substr(scriptEnds + 1);

  QuietHost host;
  korvani::script::Runner runner(host, {.MemoryLimit = 8U * 1024 * 1024,
                                        .Slice = std::chrono::milliseconds(2),
                                        .Unpaused = std::chrono::milliseconds(20),
                                        .ReceivedLimit = 4096});
  korvani::script::RunStep step = runner.Load(script, "fuzz.lua");
  korvani::script::ScriptClock::time_point now{};
  for (int turn = 0; turn < 40 && (step.State == RunState::Running || step.State == RunState::Waiting);
       ++turn) {
    step = runner.Resume(now);
    if (step.State == RunState::Waiting) {
      const std::size_t chunkEnds = rest.find('\xff');
      runner.Received(rest.substr(0, chunkEnds));
      rest = chunkEnds == std::string_view::npos ? std::string_view() : rest.substr(chunkEnds + 1);
      now = step.WakeAt;
    }
  }
  runner.Stop();
  return 0;
}
