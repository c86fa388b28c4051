// SPDX-License-Identifier: GPL-3.0-or-later
// The fuzzer's bytes are the serial line: the whole receive path (both views, framing,
// every command handler) of a real panel on fake platform pieces. The tail of the input
// decides how the line is cut into chunks and how much time passes between them.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "app/panel.h"
#include "fakes/fake_panel_view.h"
#include "fakes/fake_platform.h"

namespace {

// One log folder for the whole run, emptied now and then.
const std::filesystem::path& LogFolder() {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / ("korvani-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static int runs = 0;
  if (++runs % 500 == 0) {
    std::error_code ignored;
    std::filesystem::remove_all(LogFolder(), ignored);
    std::filesystem::create_directories(LogFolder(), ignored);
  }

  FuzzedDataProvider input(data, size);
  korvani::fakes::FakePlatform fake;
  fake.Devices.Names = {"Board (COM1)"};  // opened at start-up
  korvani::fakes::FakePanelView view;
  korvani::app::Panel panel(fake.Get(), view);
  panel.FormLoad();
  panel.Current().LogFiles().SetLogFolder(LogFolder().string());

  while (input.remaining_bytes() > 0) {
    const auto length = input.ConsumeIntegralInRange<std::size_t>(1, 300);
    const auto pause = input.ConsumeIntegralInRange<int>(0, 600);
    fake.Port.Arrive(input.ConsumeBytesAsString(length));
    for (korvani::fakes::FakeTimer* timer : fake.Timers) {
      timer->Advance(pause);  // button repeats, toast countdown, intro typing
    }
  }
  return 0;
}
