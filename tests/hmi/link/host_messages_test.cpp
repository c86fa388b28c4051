#include "hmi/link/host_messages.h"

#include <gtest/gtest.h>

namespace korvani::hmi::link {
namespace {

TEST(HostMessagesTest, ConnectCodeIsAckThenEot) {
  EXPECT_EQ(ConnectMessage("\x04"), "\x06\x04");
}

TEST(HostMessagesTest, ClockCountsWeekdaysFromMonday) {
  // Sunday 6 December 2026 to Saturday 12 December 2026, each at 15:30:45.
  const char expectedDigit[] = {'6', '0', '1', '2', '3', '4', '5'};
  for (int weekday = 0; weekday < 7; ++weekday) {
    const base::LocalTime time{2026, 12, 6 + weekday, 15, 30, 45, weekday};
    const std::string message = ClockMessage(time, "\x05", "\x04");
    ASSERT_EQ(message.size(), 16U);
    EXPECT_EQ(message.substr(0, 2), "\x07\x05");
    EXPECT_EQ(message.substr(2, 12),
              "2612" + std::string(weekday < 4 ? "0" : "1") + std::to_string((6 + weekday) % 10) + "153045");
    EXPECT_EQ(message[14], expectedDigit[weekday]) << "weekday " << weekday;
    EXPECT_EQ(message.back(), '\x04');
  }
}

TEST(HostMessagesTest, SmallFieldsHaveLeadingZeros) {
  const base::LocalTime time{2009, 1, 2, 3, 4, 5, 3};
  EXPECT_EQ(ClockMessage(time, "\x05", "\x04"),
            "\x07\x05"
            "0901020304052\x04");
}

}  // namespace
}  // namespace korvani::hmi::link
