// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/guid_storage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

namespace korvani::platform {
namespace {

GUID_Storage Sample() {
  GUID_Storage guid;
  guid.Data1(0x12345678);
  guid.Data2(0x9ABC);
  guid.Data3(0x0DEF);
  const std::uint8_t tail[8] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
  for (int i = 0; i < 8; ++i) {
    guid.Data4(i, tail[i]);
  }
  return guid;
}

TEST(GuidStorageTest, TextFormGivesEveryTailByteItsOwnGroup) {
  EXPECT_EQ(Sample().ToString("-"), "12345678-9ABC-0DEF-01-23-45-67-89-AB-CD-EF");
  EXPECT_EQ(GUID_Storage().ToString(":"), "00000000:0000:0000:00:00:00:00:00:00:00:00");
}

TEST(GuidStorageTest, ComparesAllSixteenBytes) {
  EXPECT_TRUE(GUID_Storage().IsEqual(GUID_Storage()));
  GUID_Storage changed = Sample();
  EXPECT_TRUE(changed.IsEqual(Sample()));
  changed.Data4(7, 0xEE);
  EXPECT_FALSE(changed.IsEqual(Sample()));
  changed.CopyFromThisClass(Sample());
  EXPECT_TRUE(changed.IsEqual(Sample()));
  changed.Clear();
  EXPECT_TRUE(changed.IsEqual(GUID_Storage()));
}

TEST(GuidStorageTest, CopiesAsALittleEndianBlock) {
  unsigned char block[16];
  Sample().CopyToThisPTR(block);
  EXPECT_EQ(block[0], 0x78);  // Data1's low byte first
  EXPECT_EQ(block[4], 0xBC);
  EXPECT_EQ(block[8], 0x01);
  GUID_Storage copy;
  copy.CopyFromThisPTR(block);
  EXPECT_TRUE(copy.IsEqual(Sample()));
  EXPECT_EQ(std::memcmp(copy.Ptr(), block, 16), 0);
}

TEST(GuidStorageTest, TailIndexOutsideZeroToSevenIsABoundsError) {
  GUID_Storage guid;
  EXPECT_THROW((void)guid.Data4(8), std::out_of_range);
  EXPECT_THROW(guid.Data4(-1, 0), std::out_of_range);
}

TEST(GuidStorageTest, PadStrPadsOnlyShortTexts) {
  EXPECT_EQ(GUID_Storage::PadStr("1A", 4, '0'), "001A");
  EXPECT_EQ(GUID_Storage::PadStr("12345", 4, '0'), "12345");
  EXPECT_EQ(GUID_Storage::PadStr("", 2, 'x'), "xx");
}

}  // namespace
}  // namespace korvani::platform
