// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file as found on disk: any bytes. Reading never fails, and whatever was
// read is written and read back unchanged.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "app/settings.h"

namespace {

korvani::app::SettingsValues Read(const std::string& file) {
  korvani::app::SettingsValues values;
  std::istringstream stream(file);
  korvani::app::ReadSettings(stream, [&values](int line, std::string_view text) {
    return korvani::app::ApplySettingsLine(values, line, text);
  });
  return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const korvani::app::SettingsValues first = Read(std::string(reinterpret_cast<const char*>(data), size));
  const std::string written = korvani::app::FormatSettings(first);
  if (korvani::app::FormatSettings(Read(written)) != written) {
    std::abort();
  }
  return 0;
}
