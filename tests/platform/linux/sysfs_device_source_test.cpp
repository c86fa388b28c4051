// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/sysfs_device_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/sysfs_tree.h"
#include "fakes/temp_folder.h"

namespace korvani::platform {
namespace {

std::vector<std::string> Names(SysfsDeviceSource& source) {
  std::vector<ports::PortDevice> ports;
  EXPECT_FALSE(source.ListPorts(ports).has_value());
  std::vector<std::string> names;
  for (const ports::PortDevice& port : ports) {
    names.push_back(port.Name);
    EXPECT_EQ(source.DevicePath(port.Number), port.Path) << port.Name;
  }
  return names;
}

TEST(SysfsDeviceSourceTest, ListsHardwarePortsWithStableComNumbers) {
  SysfsDeviceSource source(KORVANI_SYSFS_FIXTURES "/machine1", "/dev");
  EXPECT_EQ(Names(source), (std::vector<std::string>{
                               "Serial port /dev/ttyS0 (COM1)",         // a UART that is there
                               "FT232R USB UART /dev/ttyUSB0 (COM33)",  // USB serial: its product
                               "Vexel board /dev/ttyACM0 (COM65)",      // CDC ACM
                               "BT Bluetooth serial link /dev/rfcomm0 (COM97)",
                               "uart-pl011 /dev/ttyAMA0 (COM129)",  // other hardware: its driver
                           }));
  EXPECT_EQ(source.DevicePath(33), "/dev/ttyUSB0");
  EXPECT_EQ(source.DevicePath(129), "/dev/ttyAMA0");
  EXPECT_EQ(source.DevicePath(2), "");  // ttyS1 has no UART behind it
}

TEST(SysfsDeviceSourceTest, UserPathsFollowFromComTwoHundred) {
  SysfsDeviceSource source(KORVANI_SYSFS_FIXTURES "/no-serial", "/dev");
  EXPECT_TRUE(Names(source).empty());
  EXPECT_EQ(source.AddUserPort("/tmp/board"), 200);
  EXPECT_EQ(source.AddUserPort("/dev/pts/4"), 201);
  EXPECT_EQ(source.AddUserPort("/tmp/board"), 200);
  EXPECT_EQ(Names(source), (std::vector<std::string>{"Serial device /tmp/board (COM200)",
                                                     "Serial device /dev/pts/4 (COM201)"}));
  EXPECT_EQ(source.DevicePath(201), "/dev/pts/4");
  EXPECT_EQ(source.DevicePath(202), "");
}

TEST(SysfsDeviceSourceTest, ListingTwiceGivesTheSameList) {
  SysfsDeviceSource source(KORVANI_SYSFS_FIXTURES "/machine1", "/dev");
  EXPECT_EQ(Names(source).size(), 5U);
  EXPECT_EQ(Names(source), Names(source));
}

TEST(SysfsDeviceSourceTest, AnAdapterKeepsItsNumberByItsIdentityWhateverItsName) {
  fakes::TempFolder folder;
  fakes::SysfsTree tree(folder.Path);
  const std::string remembered = folder.File("INIFile/PortIdentities.ini");
  tree.Plug("ttyUSB0", "1-1", "0403", "6001", "A50285BI");
  tree.Plug("ttyACM0", "1-3", "2341", "0043", "");  // no serial number: known by its USB port
  {
    SysfsDeviceSource source(tree.Sys(), tree.Dev(), remembered);
    EXPECT_EQ(source.DevicePath(33), tree.DevicePath("ttyUSB0"));
    EXPECT_EQ(source.DevicePath(65), tree.DevicePath("ttyACM0"));
  }
  EXPECT_EQ(folder.Read("INIFile/PortIdentities.ini"),
            "# USB serial adapters by identity, each with the COM number it keeps\n"
            "COM33=usb 0403:6001 serial A50285BI if 00\nCOM65=usb 2341:0043 at 1-3 if 00\n");

  // Next time another adapter is plugged first and takes ttyUSB0; ours comes as ttyUSB1.
  tree.Unplug("ttyUSB0", "1-1");
  tree.Plug("ttyUSB0", "1-2", "067b", "2303", "X1");
  tree.Plug("ttyUSB1", "1-1", "0403", "6001", "A50285BI");
  tree.Plug("ttyUSB2", "1-4", "", "", "");  // no USB identity to be read: numbered by its name
  SysfsDeviceSource source(tree.Sys(), tree.Dev(), remembered);
  EXPECT_EQ(source.DevicePath(33), tree.DevicePath("ttyUSB1")) << "it keeps its number";
  EXPECT_EQ(source.DevicePath(34), tree.DevicePath("ttyUSB0")) << "the newcomer takes the first free one";
  EXPECT_EQ(source.DevicePath(35), tree.DevicePath("ttyUSB2"));
  EXPECT_EQ(source.DevicePath(65), tree.DevicePath("ttyACM0"));

  // An adapter without identity whose name's number an adapter holds is listed further on.
  tree.Unplug("ttyUSB1", "1-1");
  tree.Unplug("ttyUSB2", "1-4");
  tree.Plug("ttyUSB1", "1-5", "", "", "");
  tree.Plug("ttyUSB2", "1-1", "0403", "6001", "A50285BI");
  tree.Unplug("ttyUSB0", "1-2");
  tree.Plug("ttyUSB0", "1-6", "", "", "");
  EXPECT_EQ(source.DevicePath(33), tree.DevicePath("ttyUSB2"));
  EXPECT_EQ(source.DevicePath(34), tree.DevicePath("ttyUSB1")) << "by its name: the newcomer X1 is away";
  EXPECT_EQ(source.DevicePath(129), tree.DevicePath("ttyUSB0"));

  // A clone with the same serial number cannot be told apart: it is numbered by its name.
  tree.Plug("ttyUSB3", "1-7", "0403", "6001", "A50285BI");
  EXPECT_EQ(source.DevicePath(33), tree.DevicePath("ttyUSB2"));
  EXPECT_EQ(source.DevicePath(36), tree.DevicePath("ttyUSB3"));
}

TEST(SysfsDeviceSourceTest, MissingSysfsListsNothing) {
  SysfsDeviceSource source(KORVANI_SYSFS_FIXTURES "/does-not-exist", "/dev");
  EXPECT_TRUE(Names(source).empty());
}

}  // namespace
}  // namespace korvani::platform
