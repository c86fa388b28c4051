// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/platform_device_source.h"

#ifdef _WIN32
#include "platform/windows/setupapi_device_source.h"
#else
#include "platform/linux/sysfs_device_source.h"
#endif

namespace korvani::platform {

std::unique_ptr<ports::DeviceSource> MakePlatformDeviceSource(const std::string& identityFile) {
#ifdef _WIN32
  (void)identityFile;
  return std::make_unique<SetupApiDeviceSource>();
#else
  return std::make_unique<SysfsDeviceSource>("/sys", "/dev", identityFile);
#endif
}

}  // namespace korvani::platform
