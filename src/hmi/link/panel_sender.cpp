// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/link/panel_sender.h"

#include <string>

#include "base/hex_notation.h"

namespace korvani::hmi::link {

PanelSender::PanelSender(std::function<bool(std::string_view)> write, TxView& view)
    : Write(std::move(write)), View(view) {}

void PanelSender::PanelSend(std::string_view message) {
  if (!Write(message)) {
    return;  // the label keeps showing the last message that went out
  }
  View.SetTxCaption("Tx:" + base::HexToAsciiString(message));
}

}  // namespace korvani::hmi::link
