// SPDX-License-Identifier: GPL-3.0-or-later
// A paste typed into the console for a slow board: a pause after each character and, besides,
// after each line, on a window timer. It can be stopped halfway; without pauses it goes out at
// once.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "base/timer.h"

namespace korvani::console {

class PacedPaste {
 public:
  // `bytesOf` gives what a character is sent as (a line's end, '\n', as Enter sends it);
  // `type` sends bytes.
  PacedPaste(base::Timer& timer, std::function<std::string(char32_t)> bytesOf,
             std::function<void(const std::string&)> type);

  void SetDelays(int charMs, int lineMs);
  // Lines may end in CR, LF or CR LF. A paste still going on is continued by this one.
  void Start(const std::u32string& text);
  void Stop();
  [[nodiscard]] bool Running() const { return Next < Text.size(); }

 private:
  void SendSome();

  base::Timer& Timer;
  std::function<std::string(char32_t)> BytesOf;
  std::function<void(const std::string&)> TypeBytes;
  int CharMs = 0;
  int LineMs = 0;
  std::u32string Text;   // what is pasted, lines ended by '\n'
  std::size_t Next = 0;  // the first character not yet sent
  bool AfterCr = false;  // the last character pasted was a CR
};

}  // namespace korvani::console
