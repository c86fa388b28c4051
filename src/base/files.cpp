#include "base/files.h"

#include <fstream>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

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
#ifdef _WIN32
  return WriteFile(path, text, std::ios::app);
#else
  // The receive path appends to two logs for every chunk: open, write, close and nothing
  // more, so a flooded line costs no more system calls than it must.
  if (path.empty()) {
    return false;
  }
  const std::string name(path);
  const int file = ::open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (file < 0) {
    return false;
  }
  bool written = true;
  while (!text.empty()) {
    const ssize_t n = ::write(file, text.data(), text.size());
    if (n <= 0) {
      written = false;
      break;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return ::close(file) == 0 && written;
#endif
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
