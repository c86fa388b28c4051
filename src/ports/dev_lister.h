// The installed devices of a setup class ("Ports" for serial ports), each with its display
// name. The platform's device source does the asking; every operation reports "OK" or a
// short text for the user.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ports/guid_storage.h"

namespace korvani::ports {

inline constexpr std::string_view kStatusOk = "OK";

// One device. Of the registry properties only these three are ever filled.
struct DevInfo_Storage {
  std::uint32_t Info_DevInst = 0;
  GUID_Storage Info_ClassGUID;
  std::string SPDRP_DEVICEDESC;
  std::string SPDRP_FRIENDLYNAME;
  std::string SPDRP_CLASS;

  // The friendly name, or the description when there is no friendly name.
  [[nodiscard]] std::string GetName() const {
    return SPDRP_FRIENDLYNAME.empty() ? SPDRP_DEVICEDESC : SPDRP_FRIENDLYNAME;
  }
};

// Where the devices come from: the device-installation API on Windows, sysfs on Linux.
class DeviceSource {
 public:
  virtual ~DeviceSource() = default;
  virtual std::string GetGUIDByName(std::string_view className, std::vector<GUID_Storage>& classGUID) = 0;
  virtual std::string GetNameByGUID(const GUID_Storage& classGUID, std::string& className) = 0;
  virtual std::string GetNameByGUID2(const GUID_Storage& classGUID, std::string& className) = 0;
  // Appends the devices of the class (all classes when `classID` is null).
  virtual std::string AddToList(const GUID_Storage* classID, bool bOnlyPresent,
                                std::vector<DevInfo_Storage>& list) = 0;

  // A device the user named by path on the command line: its COM number (listed from then
  // on where the platform does not list it by itself); 0 when no number is left.
  virtual std::int16_t AddUserPort(const std::string& path) = 0;
  // The device path the serial port opens for a COM number; empty when none is known.
  [[nodiscard]] virtual std::string DevicePath(std::int16_t comNumber) const = 0;
};

// Devices named on the command line are listed from COM200 up; the numbers above are the
// added ports' (network ports, a replay, the demo board: see ports/added_ports.h).
inline constexpr std::int16_t kFirstUserPort = 200;
inline constexpr std::int16_t kLastUserPort = 219;

class DevLister {
 public:
  explicit DevLister(DeviceSource& source) : Source(source) {}

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

  // The text before the first NUL, or all of it.
  static std::string StrTrimToNull(std::string_view input) {
    return std::string(input.substr(0, input.find('\0')));
  }
  static std::string PadStr(std::string_view input, std::int16_t size, char padChar) {
    return GUID_Storage::PadStr(input, size, padChar);
  }

 private:
  DeviceSource& Source;
  std::vector<DevInfo_Storage> Devices;
};

}  // namespace korvani::ports
