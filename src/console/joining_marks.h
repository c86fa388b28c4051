// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a code point joins the character before it (a combining mark), as libvterm itself
// decides: its table is not public, so a private one-line terminal is asked, once for each
// code point, and the answer remembered. Asking the library keeps the two in step, which a
// table of our own would not (a mark the library joins and we did not count could grow its
// buffer without end).
#pragma once

#include <cstdint>
#include <vector>

struct VTerm;

namespace korvani::console {

class JoiningMarks {
 public:
  JoiningMarks();
  ~JoiningMarks();
  JoiningMarks(const JoiningMarks&) = delete;
  JoiningMarks& operator=(const JoiningMarks&) = delete;

  bool Joins(char32_t code);

 private:
  static constexpr char32_t kFirstMark = 0x300;  // nothing below joins
  static constexpr char32_t kCodes = 0x110000;
  VTerm* Probe;
  // Two bits a code point, made at the first question (278 KB): asked yet, and the answer.
  std::vector<std::uint64_t> Asked;
  std::vector<std::uint64_t> Joining;
};

}  // namespace korvani::console
