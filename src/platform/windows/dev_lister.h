// SPDX-License-Identifier: GPL-3.0-or-later
// The installed devices of a setup class ("Ports" for serial ports) as the device-installation
// API lists them, each with its display name; a list kept between calls.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/windows/setupapi_device_source.h"

namespace korvani::platform {

class DevLister {
 public:
  explicit DevLister(SetupApiDeviceSource& source) : Source(source) {}

  void ListClear() { Devices.clear(); }
  [[nodiscard]] std::int32_t ListCount() const { return static_cast<std::int32_t>(Devices.size()); }
  // 1-based; an index outside the list throws std::out_of_range.
  [[nodiscard]] const DevInfo_Storage& Item(std::int32_t index) const {
    return Devices.at(static_cast<std::size_t>(index) - 1);
  }

  std::string GetGUIDByName(std::string_view className, std::vector<GUID_Storage>& classGUID) {
    return Source.GetGUIDByName(className, classGUID);
  }
  std::string GetNameByGUID(const GUID_Storage& classGUID, std::string& className) {
    return Source.GetNameByGUID(classGUID, className);
  }
  std::string GetNameByGUID2(const GUID_Storage& classGUID, std::string& className) {
    return Source.GetNameByGUID2(classGUID, className);
  }
  // Appends; the list is not emptied first.
  std::string AddToList(const GUID_Storage* classID, bool bOnlyPresent) {
    return Source.AddToList(classID, bOnlyPresent, Devices);
  }

  static std::string PadStr(std::string_view input, std::int16_t size, char padChar) {
    return GUID_Storage::PadStr(input, size, padChar);
  }

 private:
  SetupApiDeviceSource& Source;
  std::vector<DevInfo_Storage> Devices;
};

}  // namespace korvani::platform
