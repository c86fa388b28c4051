// SPDX-License-Identifier: GPL-3.0-or-later
// What lrzsz's programs print, read for progress in any pieces, and the command made for a
// picked path of any name. The progress never goes back and is never negative; the picked
// file is always the last argument, after "--", and only its bare name.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "transfer/transfer_protocols.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) {
    return 0;
  }
  using namespace korvani::transfer;
  const std::size_t piece = data[0] % 32 + 1;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  ProgressReader reader;
  std::int64_t last = 0;
  for (std::size_t at = 0; at < text.size(); at += piece) {
    reader.Add(text.substr(at, piece));
    if (reader.Bytes() < last || (reader.Total() && *reader.Total() < 0)) {
      std::abort();
    }
    last = reader.Bytes();
  }
  (void)ProgressText({reader.Bytes(), reader.Total().value_or(0), 1.5});

  const std::string picked(text.substr(0, text.find('\0')));
  for (const ProtocolEntry& entry : kProtocols) {
    const ChildCommand command = CommandFor(entry, "/usr/bin/" + std::string(entry.Program), picked);
    if (entry.Asks == Pick::Folder) {
      continue;
    }
    const auto& arguments = command.Arguments;
    if (arguments.size() < 2 || arguments[arguments.size() - 2] != "--" ||
        arguments.back() != std::filesystem::path(picked).filename().string()) {
      std::abort();
    }
  }
  return 0;
}
