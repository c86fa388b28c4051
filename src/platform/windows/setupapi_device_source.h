// SPDX-License-Identifier: GPL-3.0-or-later
// Windows: the serial ports from the device-installation API, the installed devices of the
// "Ports" setup class, named as the system names them ("USB Serial Port (COM5)").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/windows/guid_storage.h"
#include "ports/device_source.h"

namespace korvani::platform {

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

class SetupApiDeviceSource final : public ports::DeviceSource {
 public:
  // The "Ports" class's devices present now, and the devices named by path.
  std::optional<ports::ListProblem> ListPorts(std::vector<ports::PortDevice>& ports) override;
  // "COM3" is port 3 (it is listed by the system itself); any other name gets the first
  // number from COM200 up that no port of the system has.
  std::int16_t AddUserPort(const std::string& path) override;
  [[nodiscard]] std::string DevicePath(std::int16_t comNumber) const override;

  // Every operation below reports "OK" or a short text for the user.
  std::string GetGUIDByName(std::string_view className, std::vector<GUID_Storage>& classGUID);
  std::string GetNameByGUID(const GUID_Storage& classGUID, std::string& className);
  std::string GetNameByGUID2(const GUID_Storage& classGUID, std::string& className);
  // Appends the devices of the class (all classes when `classID` is null).
  std::string AddToList(const GUID_Storage* classID, bool bOnlyPresent, std::vector<DevInfo_Storage>& list);

  // The system's message text for an error code, trimmed.
  static std::string SystemErrorText(unsigned long errorCode);
  // The text before the first NUL, or all of it.
  static std::string StrTrimToNull(std::string_view input) {
    return std::string(input.substr(0, input.find('\0')));
  }

 private:
  ports::UserPorts Named;  // the paths named on the command line
};

}  // namespace korvani::platform
