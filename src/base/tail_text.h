// SPDX-License-Identifier: GPL-3.0-or-later
// A text that keeps only its newest part. Dropping from the front moves a start offset
// instead of the characters, so trimming costs nothing per chunk; the storage is compacted
// once the dropped part outgrows the kept part.
#pragma once

#include <string>
#include <string_view>

namespace korvani::base {

class TailText {
 public:
  [[nodiscard]] std::string_view View() const { return std::string_view(Buffer).substr(Start); }
  [[nodiscard]] std::size_t Size() const { return Buffer.size() - Start; }
  [[nodiscard]] bool Empty() const { return Size() == 0; }

  void Append(std::string_view text) { Buffer.append(text); }

  // Appends, then keeps only the last `limit` characters of the result.
  void AppendKeepingLast(std::string_view text, std::size_t limit) {
    if (text.size() >= limit) {
      Clear();
      Buffer.assign(text.substr(text.size() - limit));
      return;
    }
    Append(text);
    if (Size() > limit) {
      DropFront(Size() - limit);
    }
  }

  void DropFront(std::size_t count) {
    Start += count < Size() ? count : Size();
    if (Start >= Buffer.size() - Start) {
      Buffer.erase(0, Start);
      Start = 0;
    }
  }

  void Clear() {
    Buffer.clear();
    Start = 0;
  }

 private:
  std::string Buffer;
  std::size_t Start = 0;
};

}  // namespace korvani::base
