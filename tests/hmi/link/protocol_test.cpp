// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/link/protocol.h"

#include <gtest/gtest.h>

namespace korvani::hmi::link {
namespace {

TEST(ProtocolTest, ConnectCodeIsAckThenEot) {
  EXPECT_EQ(ConnectMessage(), "\x06\x04");
}

TEST(ProtocolTest, ClockCountsWeekdaysFromMonday) {
  // Sunday 6 December 2026 to Saturday 12 December 2026, each at 15:30:45.
  const char expectedDigit[] = {'6', '0', '1', '2', '3', '4', '5'};
  for (int weekday = 0; weekday < 7; ++weekday) {
    const base::LocalTime time{2026, 12, 6 + weekday, 15, 30, 45, weekday};
    const std::string message = ClockMessage(time);
    ASSERT_EQ(message.size(), 16U);
    EXPECT_EQ(message.substr(0, 2), "\x07\x05");
    EXPECT_EQ(message.substr(2, 12),
              "2612" + std::string(weekday < 4 ? "0" : "1") + std::to_string((6 + weekday) % 10) + "153045");
    EXPECT_EQ(message[14], expectedDigit[weekday]) << "weekday " << weekday;
    EXPECT_EQ(message.back(), '\x04');
  }
}

TEST(ProtocolTest, SmallFieldsHaveLeadingZeros) {
  const base::LocalTime time{2009, 1, 2, 3, 4, 5, 3};
  EXPECT_EQ(ClockMessage(time),
            "\x07\x05"
            "0901020304052\x04");
}

TEST(ProtocolTest, MessagesInBothDirections) {
  EXPECT_EQ(BoardMessage('@'), "\x01@\x03");
  EXPECT_EQ(BoardMessage('F', {"2", "", "C-1"}),
            "\x01"
            "F2\x02\x02"
            "C-1\x03");
  EXPECT_EQ(TextMessage("P1"), "P1\x04");
  EXPECT_EQ(TextMessage(""), "\x04");
  EXPECT_EQ(EntryAnswer("SP", "120"),
            "SP\x05"
            "120\x04");
  EXPECT_EQ(EntryAnswer("SP", ""), "SP\x05\x04");
}

}  // namespace
}  // namespace korvani::hmi::link
