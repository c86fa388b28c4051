// SPDX-License-Identifier: GPL-3.0-or-later
// The board's log names and modes: whatever the board asks for, every file is written
// inside the log folder, and a refused name writes nothing.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "fakes/fake_platform.h"
#include "hmi/log/disk_log_commands.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fs::path root = fs::temp_directory_path() / ("korvani-names-" + std::to_string(::getpid()));
  std::error_code ignored;
  fs::remove_all(root, ignored);
  const fs::path folder = root / "logs";
  fs::create_directories(folder);

  FuzzedDataProvider input(data, size);
  const std::string name = input.ConsumeRandomLengthString(64);
  const std::string mode = input.ConsumeRandomLengthString(8);
  korvani::fakes::FakeDialogs dialogs;
  korvani::fakes::FakeClock clock;
  korvani::hmi::log::LogFileTable table(dialogs, clock, {});
  table.SetLogFolder(folder.string());
  korvani::hmi::log::DiskLogCommands commands(table, dialogs);
  const auto run = [](auto&& step) {
    try {
      step();
    } catch (const std::exception&) {
      // a refused or failed command abandons its message, as the framer does
    }
  };
  run([&] { commands.doHMIFileOpen(name, mode); });
  run([&] { commands.DoHMILog(input.ConsumeRandomLengthString(16)); });
  run([&] { commands.doHMILogWrite(); });
  run([&] { commands.doHMINewFile(name); });
  run([&] { commands.doHMILogWrite(); });

  // Everything under the root must be a plain file directly in the log folder.
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.path() == folder) {
      continue;
    }
    if (entry.path().parent_path() != folder || !entry.is_regular_file()) {
      std::abort();
    }
  }
  if (!korvani::hmi::log::DiskLogCommands::IsSafeLogName(name) && !fs::is_empty(folder)) {
    std::abort();
  }
  return 0;
}
