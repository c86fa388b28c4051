// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
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

#ifndef _WIN32
namespace {
int OpenForAppending(std::string_view path) {
  const std::string name(path);
  return ::open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
}

bool WriteWhole(int file, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(file, text.data(), text.size());
    if (n <= 0) {
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}
}  // namespace
#endif

bool AppendToFile(std::string_view path, std::string_view text, std::string* why) {
#ifdef _WIN32
  return WriteFile(path, text, std::ios::app, why);
#else
  if (path.empty()) {
    errno = 0;
    return Failed(why, "no file name");
  }
  const int file = OpenForAppending(path);
  if (file < 0) {
    return Failed(why, "cannot be opened");
  }
  if (!WriteWhole(file, text)) {
    const int error = errno;
    ::close(file);
    errno = error;
    return Failed(why, "cannot be written");
  }
  return ::close(file) == 0 || Failed(why, "cannot be written");
#endif
}

bool AppendingFile::Append(std::string_view path, std::string_view text, std::string* why) {
  const bool kept = AppendLater(path, text, why);
  return Flush(why) && kept;
}

bool AppendingFile::AppendLater(std::string_view path, std::string_view text, std::string* why) {
  bool written = true;
  if (!Kept.empty() && path != KeptPath) {
    written = Flush(why);  // what was kept belongs to the name it was kept for
  }
  if (text.size() >= kKeepAtMost / 4) {
    // Text this long is a write of its own: what was kept goes first, and the text is not
    // copied to be kept.
    written = Flush(why) && written;
    return Write(path, text, why) && written;
  }
  if (Kept.empty()) {
    KeptPath = path;
  }
  Kept.append(text);
  return Kept.size() >= kKeepAtMost ? Flush(why) && written : written;
}

bool AppendingFile::Flush(std::string* why) {
  if (Kept.empty()) {
    return true;
  }
  const bool written = Write(KeptPath, Kept, why);
  Kept.clear();
  return written;
}

void AppendingFile::Close() {
  Flush();
  Release();
}

bool AppendingFile::Write(std::string_view path, std::string_view text, std::string* why) {
  std::string reason;
  const bool written = WriteNow(path, text, &reason);
  std::string problem = written ? std::string() : std::string(path) + ": " + reason;
  if (problem != Failing) {
    Failing = std::move(problem);
    if (ProblemChanged) {
      ProblemChanged(Failing);
    }
  }
  if (!written && why != nullptr) {
    *why = reason;
  }
  return written;
}

#ifdef _WIN32
bool AppendingFile::WriteNow(std::string_view path, std::string_view text, std::string* why) {
  return AppendToFile(path, text, why);  // an open file could not be deleted or moved
}

void AppendingFile::Release() {}

#else
bool AppendingFile::WriteNow(std::string_view path, std::string_view text, std::string* why) {
  if (!OpenedAs(path) && !Open(path, why)) {
    return false;
  }
  if (!WriteWhole(Handle, text)) {
    const int error = errno;
    Release();  // the next write starts again from the name
    errno = error;
    return Failed(why, "cannot be written");
  }
  return true;
}

void AppendingFile::Release() {
  if (Handle >= 0) {
    ::close(Handle);
    Handle = -1;
  }
  Path.clear();
}

// The open file is still the one the name leads to.
bool AppendingFile::OpenedAs(std::string_view path) const {
  if (Handle < 0 || path != Path) {
    return false;
  }
  struct stat named {};
  return ::stat(Path.c_str(), &named) == 0 && named.st_dev == Device && named.st_ino == Node;
}

bool AppendingFile::Open(std::string_view path, std::string* why) {
  Release();
  if (path.empty()) {
    errno = 0;
    return Failed(why, "no file name");
  }
  const int file = OpenForAppending(path);
  struct stat opened {};
  if (file < 0 || ::fstat(file, &opened) != 0) {
    const int error = errno;
    if (file >= 0) {
      ::close(file);
    }
    errno = error;
    return Failed(why, "cannot be opened");
  }
  Handle = file;
  Path = path;
  Device = static_cast<std::uint64_t>(opened.st_dev);
  Node = static_cast<std::uint64_t>(opened.st_ino);
  return true;
}
#endif

std::string WithNameSuffix(std::string_view path, std::string_view suffix) {
  const auto nameStart = std::find_if(path.rbegin(), path.rend(), IsPathSeparator).base() - path.begin();
  const std::size_t dot = path.rfind('.');
  // A name that starts with its only dot (".log") has no extension to keep.
  const std::size_t at =
      dot != std::string_view::npos && dot > static_cast<std::size_t>(nameStart) ? dot : path.size();
  std::string named(path.substr(0, at));
  named.append(suffix).append(path.substr(at));
  return named;
}

bool SameFile(std::string_view one, std::string_view other) {
  std::error_code error;
  return std::filesystem::equivalent(Utf8Path(one), Utf8Path(other), error) && !error;
}

bool ReplaceFile(std::string_view path, std::string_view text, std::string* why) {
  return WriteFile(path, text, std::ios::trunc, why);
}

bool WriteFileAtomically(std::string_view path, std::string_view text) {
  const std::string temporary = std::string(path) + ".new";
  if (!ReplaceFile(temporary, text)) {
    return false;
  }
  std::error_code error;
  std::filesystem::rename(Utf8Path(temporary), Utf8Path(path), error);
  if (error) {
    std::filesystem::remove(Utf8Path(temporary), error);
    return false;
  }
  return true;
}

std::string ReadWholeFile(std::string_view path) {
  std::ifstream file(Utf8Path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
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
