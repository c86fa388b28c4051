#include "terminal/log_file.h"

#include <filesystem>
#include <fstream>

namespace korvani::terminal {

bool AppendToFile(const std::string& path, std::string_view text) {
  if (path.empty()) {
    return false;
  }
  // Names are UTF-8 wherever they come from (the user's typing, the settings file).
  const std::filesystem::path filePath(std::u8string(path.begin(), path.end()));
  std::ofstream file(filePath, std::ios::binary | std::ios::app);
  if (!file) {
    return false;
  }
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  file.close();
  return !file.fail();
}

}  // namespace korvani::terminal
