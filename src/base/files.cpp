#include "base/files.h"

#include <fstream>

namespace korvani::base {

namespace {
bool WriteFile(std::string_view path, std::string_view text, std::ios::openmode mode) {
  if (path.empty()) {
    return false;
  }
  std::ofstream file(Utf8Path(path), std::ios::binary | mode);
  if (!file) {
    return false;
  }
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  file.close();
  return !file.fail();
}
}  // namespace

std::filesystem::path Utf8Path(std::string_view path) {
  return {std::u8string(path.begin(), path.end())};
}

bool AppendToFile(std::string_view path, std::string_view text) {
  return WriteFile(path, text, std::ios::app);
}

bool ReplaceFile(std::string_view path, std::string_view text) {
  return WriteFile(path, text, std::ios::trunc);
}

bool FileExists(std::string_view path) {
  std::error_code error;
  const std::filesystem::path file = Utf8Path(path);
  if (path.empty() || std::filesystem::is_directory(file, error)) {
    return false;
  }
  return std::ifstream(file, std::ios::binary).is_open();
}

}  // namespace korvani::base
