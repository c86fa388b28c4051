// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/paced_paste.h"

#include <utility>

namespace korvani::console {

PacedPaste::PacedPaste(base::Timer& timer, std::function<std::string(char32_t)> bytesOf,
                       std::function<void(const std::string&)> type)
    : Timer(timer), BytesOf(std::move(bytesOf)), TypeBytes(std::move(type)) {
  Timer.SetTickHandler([this] {
    Timer.SetEnabled(false);
    SendSome();
  });
}

void PacedPaste::SetDelays(int charMs, int lineMs) {
  CharMs = charMs;
  LineMs = lineMs;
}

void PacedPaste::Start(const std::u32string& text) {
  const bool running = Running();
  if (!running) {
    Text.clear();
    Next = 0;
    AfterCr = false;
  }
  for (const char32_t c : text) {
    if (c != U'\n' || !AfterCr) {
      Text += c == U'\r' ? U'\n' : c;  // a CR LF, even split between two pastes, is one line end
    }
    AfterCr = c == U'\r';
  }
  if (!running) {
    SendSome();
  }
}

void PacedPaste::Stop() {
  Timer.SetEnabled(false);
  Text.clear();
  Next = 0;
}

// Sends up to and including the next character that has a pause after it, then waits that
// pause (a pause of 0 would stop a window timer rather than run it at once).
void PacedPaste::SendSome() {
  std::string bytes;
  int pause = 0;
  while (Next < Text.size() && pause == 0) {
    const char32_t c = Text[Next++];
    bytes += BytesOf(c);
    pause = CharMs + (c == U'\n' ? LineMs : 0);
  }
  if (!Running()) {
    Text.clear();
    Next = 0;
  } else {
    Timer.SetInterval(pause);
    Timer.SetEnabled(true);
  }
  TypeBytes(bytes);
}

}  // namespace korvani::console
