// SPDX-License-Identifier: GPL-3.0-or-later
// A recording from the field and a network address typed or stored: whatever the bytes, the
// reader ends without a fault and reads no piece past the file; a replay of it at the
// recorded pace comes to its end within the time the file's pauses allow (damaged times
// included) and brings no more than the file holds; and an address it takes reads back the
// same from the text it is kept as.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "fakes/fake_timer.h"
#include "ports/added_ports.h"
#include "terminal/replay_port.h"
#include "terminal/session_file.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fs::path file =
      fs::temp_directory_path() / ("korvani-recording-" + std::to_string(::getpid()));
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;

  korvani::terminal::SessionReader reader;
  std::string why;
  if (reader.Open(file.string(), why)) {
    std::size_t read = 0;
    while (const auto piece = reader.Next()) {
      read += 13 + piece->Bytes.size();
      if (read > size) {
        std::abort();  // more than the file holds
      }
    }
  } else if (why.empty()) {
    std::abort();  // refused without a reason
  }

  // The replay at the recorded pace, on a clock that runs a second a tick: each piece waits
  // at most an hour (a longer pause is skipped), so it ends within an hour a piece.
  std::int64_t now = 0;
  auto* timer = new korvani::fakes::FakeTimer;
  korvani::terminal::ReplayPort replay(
      std::unique_ptr<korvani::base::Timer>(timer), [](std::int16_t) { return file.string(); },
      [&now] { return now; });
  std::size_t brought = 0;
  replay.SetEventHandler([&](korvani::ports::PortEvent event) {
    if (event == korvani::ports::PortEvent::Received) {
      brought += replay.ReadInput().size();
    }
  });
  if (replay.SetOpen(true)) {
    const std::int64_t pieces = static_cast<std::int64_t>(size / 13) + 2;
    for (std::int64_t tick = 0; replay.HoldsFile(); ++tick) {
      if (tick > pieces * 3601 || brought > size) {
        std::abort();  // stalled on a time, or brought what is not there
      }
      now += 1'000'000;
      timer->Tick();
    }
  }

  std::string refused;
  if (const auto address = korvani::ports::ParseNetworkAddress(bytes, refused)) {
    std::string again;
    const auto kept = korvani::ports::ParseNetworkAddress(address->Text(), again);
    if (!kept || kept->Text() != address->Text() || kept->Port != address->Port) {
      std::abort();  // what is stored would not read back as itself
    }
  } else if (refused.empty()) {
    std::abort();
  }
  return 0;
}
