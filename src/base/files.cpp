#include "base/files.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace korvani::base {

namespace {
// False, with the reason of the last system error when one is wanted.
bool Failed(std::string* why, const char* fallback) {
  if (why != nullptr) {
    *why = errno != 0 ? std::strerror(errno) : fallback;
  }
  return false;
}

bool WriteFile(std::string_view path, std::string_view text, std::ios::openmode mode, std::string* why) {
  if (path.empty()) {
    errno = 0;
    return Failed(why, "no file name");
  }
  errno = 0;
  std::ofstream file(Utf8Path(path), std::ios::binary | mode);
  if (!file) {
    return Failed(why, "cannot be opened");
  }
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  file.close();
  return !file.fail() || Failed(why, "cannot be written");
}
}  // namespace

std::filesystem::path Utf8Path(std::string_view path) {
  return {std::u8string(path.begin(), path.end())};
}

bool AppendToFile(std::string_view path, std::string_view text, std::string* why) {
#ifdef _WIN32
  return WriteFile(path, text, std::ios::app, why);
#else
  // The receive path appends to two logs for every chunk: open, write, close and nothing
  // more, so a flooded line costs no more system calls than it must.
  if (path.empty()) {
    errno = 0;
    return Failed(why, "no file name");
  }
  const std::string name(path);
  const int file = ::open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (file < 0) {
    return Failed(why, "cannot be opened");
  }
  while (!text.empty()) {
    const ssize_t n = ::write(file, text.data(), text.size());
    if (n <= 0) {
      const int error = errno;
      ::close(file);
      errno = error;
      return Failed(why, "cannot be written");
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return ::close(file) == 0 || Failed(why, "cannot be written");
#endif
}

bool ReplaceFile(std::string_view path, std::string_view text, std::string* why) {
  return WriteFile(path, text, std::ios::trunc, why);
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
