// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/joining_marks.h"

#include <vterm.h>

#include <string>

#include "base/ansi_text.h"

namespace korvani::console {

JoiningMarks::JoiningMarks() : Probe(vterm_new(1, 8)) {
  vterm_set_utf8(Probe, 1);
  vterm_state_reset(vterm_obtain_state(Probe), 1);
}

JoiningMarks::~JoiningMarks() {
  vterm_free(Probe);
}

bool JoiningMarks::Joins(char32_t code) {
  if (code < kFirstMark || code >= kCodes || (code >= 0xD800 && code <= 0xDFFF)) {
    return false;
  }
  if (Asked.empty()) {
    Asked.assign(kCodes / 64, 0);
    Joining.assign(kCodes / 64, 0);
  }
  const std::size_t word = code / 64;
  const std::uint64_t bit = std::uint64_t{1} << (code % 64);
  if ((Asked[word] & bit) == 0) {
    // A letter and the code point at the line's start: a mark leaves the cursor after the
    // letter.
    std::string probe = "\rA";
    base::AppendUtf8(probe, code);
    vterm_input_write(Probe, probe.data(), probe.size());
    VTermPos cursor{};
    vterm_state_get_cursorpos(vterm_obtain_state(Probe), &cursor);
    Asked[word] |= bit;
    if (cursor.col == 1) {
      Joining[word] |= bit;
    }
  }
  return (Joining[word] & bit) != 0;
}

}  // namespace korvani::console
