// SPDX-License-Identifier: GPL-3.0-or-later
// The device-installation API source, run as a Windows program (under Wine in CI) against
// "Ports" devices the test registers itself.
#include "platform/windows/setupapi_device_source.h"

#include "platform/windows/dev_lister.h"

#include <gtest/gtest.h>

// clang-format off
#include <windows.h>
#include <setupapi.h>
// clang-format on

#include <algorithm>
#include <string>
#include <vector>

namespace korvani::platform {
namespace {

constexpr DWORD kFriendlyNameCode = SPDRP_FRIENDLYNAME;
constexpr DWORD kDeviceDescCode = SPDRP_DEVICEDESC;
#undef SPDRP_DEVICEDESC
#undef SPDRP_FRIENDLYNAME
#undef SPDRP_CLASS

GUID PortsGuid() {
  GUID guid{};
  DWORD count = 0;
  SetupDiClassGuidsFromNameA("Ports", &guid, 1, &count);
  return guid;
}

// Registers root devices of the Ports class for one test and removes them afterwards.
class RegisteredPorts {
 public:
  RegisteredPorts() {
    const GUID guid = PortsGuid();
    Set = SetupDiCreateDeviceInfoList(&guid, nullptr);
  }
  ~RegisteredPorts() {
    for (SP_DEVINFO_DATA& device : Devices) {
      SetupDiRemoveDevice(Set, &device);
    }
    SetupDiDestroyDeviceInfoList(Set);
  }
  RegisteredPorts(const RegisteredPorts&) = delete;
  RegisteredPorts& operator=(const RegisteredPorts&) = delete;

  bool Add(const std::string& description, const std::string& friendlyName) {
    const GUID guid = PortsGuid();
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!SetupDiCreateDeviceInfoA(Set, "KORVANITESTPORT", &guid, description.c_str(), nullptr,
                                  DICD_GENERATE_ID, &device)) {
      return false;
    }
    SetupDiSetDeviceRegistryPropertyA(Set, &device, kDeviceDescCode,
                                      reinterpret_cast<const BYTE*>(description.c_str()),
                                      static_cast<DWORD>(description.size() + 1));
    if (!friendlyName.empty()) {
      SetupDiSetDeviceRegistryPropertyA(Set, &device, kFriendlyNameCode,
                                        reinterpret_cast<const BYTE*>(friendlyName.c_str()),
                                        static_cast<DWORD>(friendlyName.size() + 1));
    }
    if (!SetupDiRegisterDeviceInfo(Set, &device, 0, nullptr, nullptr, nullptr)) {
      return false;
    }
    Devices.push_back(device);
    return true;
  }

 private:
  HDEVINFO Set;
  std::vector<SP_DEVINFO_DATA> Devices;
};

std::vector<std::string> ListedNames(DevLister& lister) {
  std::vector<std::string> names;
  for (std::int32_t i = 1; i <= lister.ListCount(); ++i) {
    names.push_back(lister.Item(i).GetName());
  }
  return names;
}

std::ptrdiff_t Count(const std::vector<std::string>& names, const std::string& name) {
  return std::count(names.begin(), names.end(), name);
}

TEST(SetupApiDeviceSourceTest, FindsThePortsClassByName) {
  SetupApiDeviceSource source;
  DevLister lister(source);
  std::vector<GUID_Storage> guid;
  ASSERT_EQ(lister.GetGUIDByName("Ports", guid), "OK");
  ASSERT_EQ(guid.size(), 1U);
  EXPECT_EQ(guid[0].ToString("-"), "4D36E978-E325-11CE-BF-C1-08-00-2B-E1-03-18");

  std::vector<GUID_Storage> untouched;
  EXPECT_EQ(lister.GetGUIDByName("NoSuchKorvaniClass", untouched), "Incorrect class name");
  EXPECT_TRUE(untouched.empty());

  std::string name;
  EXPECT_EQ(lister.GetNameByGUID(guid[0], name), "OK");
  EXPECT_EQ(name, "Ports");
  EXPECT_EQ(lister.GetNameByGUID2(guid[0], name), "OK");
  EXPECT_EQ(name, std::string("Ports\0", 6));
}

TEST(SetupApiDeviceSourceTest, ListsRegisteredPortsByFriendlyNameOrDescription) {
  RegisteredPorts ports;
  ASSERT_TRUE(ports.Add("Korvani Test Adapter", "Korvani Test Port (COM7)"));
  ASSERT_TRUE(ports.Add("Korvani Bare Port (COM8)", ""));

  SetupApiDeviceSource source;
  DevLister lister(source);
  std::vector<GUID_Storage> guid;
  ASSERT_EQ(lister.GetGUIDByName("Ports", guid), "OK");
  EXPECT_EQ(lister.AddToList(&guid[0], true), "OK");  // present devices only, as the port list asks
  const std::vector<std::string> once = ListedNames(lister);
  EXPECT_EQ(Count(once, "Korvani Test Port (COM7)"), 1);
  EXPECT_EQ(Count(once, "Korvani Bare Port (COM8)"), 1);  // no friendly name: the description
  for (std::int32_t i = 1; i <= lister.ListCount(); ++i) {
    EXPECT_TRUE(lister.Item(i).Info_ClassGUID.IsEqual(guid[0]));
  }

  EXPECT_EQ(lister.AddToList(&guid[0], true), "OK");  // the list is not emptied first
  const std::vector<std::string> twice = ListedNames(lister);
  EXPECT_EQ(twice.size(), 2 * once.size());
  EXPECT_EQ(Count(twice, "Korvani Test Port (COM7)"), 2);
}

TEST(SetupApiDeviceSourceTest, UserPortsAndDevicePaths) {
  SetupApiDeviceSource source;
  EXPECT_EQ(source.AddUserPort("COM3"), 3);
  EXPECT_EQ(source.DevicePath(3), "COM3");
  EXPECT_EQ(source.AddUserPort("\\\\.\\pipe\\board"), 200);
  EXPECT_EQ(source.DevicePath(200), "\\\\.\\pipe\\board");
  EXPECT_EQ(source.DevicePath(0), "");
}

TEST(SetupApiDeviceSourceTest, RealPortsFromCom200UpKeepTheirNumbers) {
  RegisteredPorts ports;
  ASSERT_TRUE(ports.Add("Korvani Test Adapter", "Korvani Test Port (COM200)"));
  ASSERT_TRUE(ports.Add("Korvani Test Adapter", "Korvani Test Port (COM201)"));
  SetupApiDeviceSource source;
  EXPECT_EQ(source.AddUserPort("\\\\.\\pipe\\board"), 202);  // the first number no port has
  EXPECT_EQ(source.DevicePath(200), "COM200");               // a real port opens by its own name
  EXPECT_EQ(source.DevicePath(220), "COM220");
  EXPECT_EQ(source.DevicePath(202), "\\\\.\\pipe\\board");
}

TEST(SetupApiDeviceSourceTest, SystemErrorTextIsTrimmed) {
  const std::string text = SetupApiDeviceSource::SystemErrorText(ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(text.empty());
  EXPECT_NE(text.back(), '\n');
  EXPECT_NE(text.back(), ' ');
}

}  // namespace
}  // namespace korvani::platform
