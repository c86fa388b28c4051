// SPDX-License-Identifier: GPL-3.0-or-later
// The one way the panel's messages reach the board: written to the port and shown in hex on
// lblTx. A message the port refuses is dropped without a word.
#pragma once

#include <functional>
#include <string_view>

namespace korvani::hmi::link {

class TxView {
 public:
  virtual ~TxView() = default;
  // lblTx: "Tx:" and the hex pairs of the last message that reached the port.
  virtual void SetTxCaption(std::string_view caption) = 0;
};

class PanelSender {
 public:
  // `write` returns false when the port refused the bytes.
  PanelSender(std::function<bool(std::string_view)> write, TxView& view);

  void PanelSend(std::string_view message);

 private:
  std::function<bool(std::string_view)> Write;
  TxView& View;
};

}  // namespace korvani::hmi::link
