// Windows: the installed devices of a setup class from the device-installation API.
#pragma once

#include <map>
#include <vector>

#include "ports/dev_lister.h"

namespace korvani::platform {

class SetupApiDeviceSource final : public ports::DeviceSource {
 public:
  std::string GetGUIDByName(std::string_view className, std::vector<ports::GUID_Storage>& classGUID) override;
  std::string GetNameByGUID(const ports::GUID_Storage& classGUID, std::string& className) override;
  std::string GetNameByGUID2(const ports::GUID_Storage& classGUID, std::string& className) override;
  std::string AddToList(const ports::GUID_Storage* classID, bool bOnlyPresent,
                        std::vector<ports::DevInfo_Storage>& list) override;
  // "COM3" is port 3 (it is listed by the system itself); any other name gets the first
  // number from COM200 up that no port of the system has.
  std::int16_t AddUserPort(const std::string& path) override;
  [[nodiscard]] std::string DevicePath(std::int16_t comNumber) const override;

  // The system's message text for an error code, trimmed.
  static std::string SystemErrorText(unsigned long errorCode);

 private:
  std::map<std::int16_t, std::string> UserPorts;
};

}  // namespace korvani::platform
