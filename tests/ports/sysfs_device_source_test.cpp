#include "ports/sysfs_device_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/sysfs_tree.h"
#include "fakes/temp_folder.h"

namespace korvani::ports {
namespace {

std::vector<std::string> Names(SysfsDeviceSource& source) {
  DevLister lister(source);
  std::vector<GUID_Storage> guid;
  EXPECT_EQ(lister.GetGUIDByName("Ports", guid), "OK");
  EXPECT_EQ(lister.AddToList(&guid.at(0), true), "OK");
  std::vector<std::string> names;
  for (std::int32_t i = 1; i <= lister.ListCount(); ++i) {
    names.push_back(lister.Item(i).GetName());
    EXPECT_EQ(lister.Item(i).SPDRP_CLASS, "Ports");
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

TEST(SysfsDeviceSourceTest, ClassNamesAndListingTwice) {
  SysfsDeviceSource source(KORVANI_SYSFS_FIXTURES "/machine1", "/dev");
  DevLister lister(source);
  std::vector<GUID_Storage> guid;
  EXPECT_EQ(lister.GetGUIDByName("Printers", guid), "Incorrect class name");
  EXPECT_TRUE(guid.empty());
  ASSERT_EQ(lister.GetGUIDByName("Ports", guid), "OK");
  EXPECT_EQ(guid[0].ToString("-"), "4D36E978-E325-11CE-BF-C1-08-00-2B-E1-03-18");

  std::string name;
  EXPECT_EQ(lister.GetNameByGUID(guid[0], name), "OK");
  EXPECT_EQ(name, "Ports");
  EXPECT_EQ(lister.GetNameByGUID2(guid[0], name), "OK");
  EXPECT_EQ(name, std::string("Ports\0", 6));
  EXPECT_EQ(lister.GetNameByGUID(GUID_Storage(), name), "Class not found");

  lister.AddToList(&guid[0], true);
  lister.AddToList(&guid[0], true);
  EXPECT_EQ(lister.ListCount(), 10);
  EXPECT_EQ(lister.Item(1).GetName(), lister.Item(6).GetName());
  lister.ListClear();
  EXPECT_EQ(lister.ListCount(), 0);
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
}  // namespace korvani::ports
