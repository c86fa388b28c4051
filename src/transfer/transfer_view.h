// SPDX-License-Identifier: GPL-3.0-or-later
// Where the window shows a file transfer.
#pragma once

#include <string_view>

namespace korvani::transfer {

// Where the window shows a transfer.
class TransferView {
 public:
  virtual ~TransferView() = default;
  // A transfer runs: what it is, where it is ("120,000 of 300,000 bytes, ..."), and 0..100
  // or -1 when the whole is not known.
  virtual void ShowTransfer(std::string_view title, std::string_view progress, int percent) = 0;
  // It ended; `outcome` says how ("sent", "cancelled", or the reason it failed).
  virtual void EndTransfer(std::string_view outcome) = 0;
};

}  // namespace korvani::transfer
