// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/link/panel_sender.h"

#include <gtest/gtest.h>

#include <string>

namespace korvani::hmi::link {
namespace {

struct Label : TxView {
  void SetTxCaption(std::string_view caption) override { Caption.assign(caption); }
  std::string Caption = "Tx: ";
};

TEST(PanelSenderTest, WritesTheMessageAndShowsItInHex) {
  std::string wire;
  Label label;
  PanelSender sender(
      [&wire](std::string_view bytes) {
        wire.append(bytes);
        return true;
      },
      label);
  sender.PanelSend(std::string("\x06\x04", 2));
  EXPECT_EQ(wire, "\x06\x04");
  EXPECT_EQ(label.Caption, "Tx:06 04 ");
}

TEST(PanelSenderTest, RefusedWriteChangesNothing) {
  Label label;
  PanelSender sender([](std::string_view) { return false; }, label);
  sender.PanelSend("OK\x04");
  EXPECT_EQ(label.Caption, "Tx: ");
}

}  // namespace
}  // namespace korvani::hmi::link
